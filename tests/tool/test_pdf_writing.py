#!/usr/bin/env python3
"""Checks what the tool's test files need from the PDF writer in samples/ by reading the
files back with qpdf, which shares no code with it. Exits with 77 when qpdf is missing."""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "samples"))
from pdf_document import Document, build  # noqa: E402
from pdf_security import Rc4CryptFilter  # noqa: E402
from pdf_syntax import Name, PdfString, Raw, Ref, flate  # noqa: E402
from pdf_writer import append_update  # noqa: E402

QPDF = shutil.which("qpdf")


def qpdf(data: bytes, *options: str) -> subprocess.CompletedProcess:
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "test.pdf")
        with open(path, "wb") as out:
            out.write(data)
        return subprocess.run([QPDF, *options, path], capture_output=True)


def read(data: bytes) -> tuple[dict, str]:
    """qpdf's objects by "N 0 R" and "trailer", and its warnings."""
    done = qpdf(data, "--json=2", "--json-key=qpdf")
    found = json.loads(done.stdout)["qpdf"][1]
    return {key.removeprefix("obj:"): item["value"] for key, item in found.items()
            if "value" in item}, done.stderr.decode()


def document(pages: int = 1, **options) -> bytes:
    return build(Document(pages=[b""] * pages, **options))


class Writing(unittest.TestCase):
    def test_strings_read_back_byte_for_byte(self):
        # Every byte, and an escaped one before a digit, which a short escape would take in.
        every_byte = bytes(range(256)) + b"\x017"
        data = document(info={"Octal": PdfString(every_byte, octal=True),
                              "Hex": PdfString(every_byte, hex=True),
                              "Twice": Raw(b"(first) /Twice (second)")})
        found, warnings = read(data)
        info = found[found["trailer"]["/Info"]]
        self.assertEqual((info["/Octal"], info["/Hex"]), ("b:" + every_byte.hex(),) * 2)
        self.assertEqual(info["/Twice"], "u:second")
        self.assertIn("duplicated key /Twice", warnings)
        # Escaped, the string holds no byte that could break or bin the file's lines.
        octal = data[data.index(b"/Octal (") + 8:data.index(b"/Hex")]
        self.assertTrue(all(0x20 <= byte < 0x7F for byte in octal), octal)

    def test_document_entries(self):
        packet = b"<x:xmpmeta>metadata</x:xmpmeta>\n" * 50
        data = document(pages=3, extra_objects=[flate({"Type": Name("Metadata")}, packet)],
                        catalog_entries={"Metadata": Ref(1)}, root_count=7)
        found, warnings = read(data)
        self.assertEqual(warnings, "")
        catalog = found[found["trailer"]["/Root"]]
        self.assertEqual(catalog["/Metadata"], "1 0 R")
        self.assertEqual(qpdf(data, "--show-object=1", "--filtered-stream-data").stdout, packet)
        self.assertLess(len(data), len(packet))
        root = found[catalog["/Pages"]]
        self.assertEqual((root["/Count"], len(root["/Kids"])), (7, 3))

    def test_trailers(self):
        cases = {
            "no ID": ({"file_id": None}, lambda t: "/ID" not in t),
            "equal halves": ({"file_id": b"\xab" * 16},
                             lambda t: t["/ID"] == ["b:" + "ab" * 16] * 2),
            "ID as given": ({"file_id": [PdfString(b"\x01", hex=True), 5]},
                            lambda t: t["/ID"] == ["b:01", 5]),
            "Info inside": ({"direct_info": True}, lambda t: t["/Info"] == {"/Title": "u:t"}),
            "entries added": ({"trailer_entries": {"Extra": Name("Yes")}},
                              lambda t: t["/Extra"] == "/Yes"),
        }
        for label, (options, holds) in cases.items():
            with self.subTest(label):
                trailer = read(document(info={"Title": "t"}, **options))[0]["trailer"]
                self.assertTrue(holds(trailer), trailer)

    def test_streams_encrypted_strings_plain_some_objects_packed(self):
        security = Rc4CryptFilter("user", "owner", b"\x5a" * 16)
        content = b"BT /F1 12 Tf (page text) Tj ET"
        data = build(Document(pages=[content], info={"Title": "plain title"},
                              file_id=b"\x5a" * 16, extra_objects=[security.dictionary("Identity")],
                              trailer_entries={"Encrypt": Ref(1)}, cipher=security.encrypt,
                              object_stream=lambda value: value.get("Type") == Name("Font")))
        self.assertIn(b"(plain title)", data)
        self.assertNotIn(content, data)
        checked = qpdf(data, "--password=user", "--check")
        self.assertEqual((checked.returncode, checked.stderr), (0, b""))
        self.assertIn(b"string encryption method: none", checked.stdout)
        # Objects 2 and 3 are the fonts, 4 the page's contents.
        xref = qpdf(data, "--password=user", "--show-xref").stdout.decode()
        self.assertIn("2/0: compressed", xref)
        self.assertIn("3/0: compressed", xref)
        self.assertIn("4/0: uncompressed", xref)
        shown = qpdf(data, "--password=owner", "--show-object=4", "--filtered-stream-data")
        self.assertEqual(shown.stdout, content)

    def test_update_wins_over_the_base(self):
        base = document(info={"Title": "old"})
        trailer = read(base)[0]["trailer"]
        root, info = (int(trailer[key].split()[0]) for key in ("/Root", "/Info"))
        size = trailer["/Size"]
        # The info object anew and a new object beyond the base's: two subsections.
        updated = append_update(base, [(info, {"Title": Ref(size)}), (size, PdfString(b"new"))],
                                {"Size": size + 1, "Root": Ref(root), "Info": Ref(info)})
        self.assertTrue(updated.startswith(base))
        found, warnings = read(updated)
        self.assertEqual(warnings, "")
        self.assertEqual(found[f"{size} 0 R"], "u:new")
        self.assertEqual(found[f"{info} 0 R"], {"/Title": f"{size} 0 R"})


if __name__ == "__main__":
    if QPDF is None:
        sys.exit(77)
    unittest.main()
