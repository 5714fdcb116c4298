"""Checks that the generated test PDFs and samples are what their manifests say, with
readers that share no code with the generator: the file's own bytes, pdfinfo (poppler)
and qpdf --check."""

import re
import shutil
import subprocess
import sys
import unittest
from pathlib import Path

sys.dont_write_bytecode = True
import generated_files  # noqa: E402
import pdfinfo_reader  # noqa: E402

PDFINFO_ALGORITHMS = {"RC4-40": "RC4", "RC4-128": "RC4", "AES-128": "AES", "AES-256": "AES-256"}
SECURITY_HANDLER_REVISIONS = {"RC4-40": 2, "RC4-128": 3, "AES-128": 4, "AES-256": 6}
LINE_ENDINGS = {"LF": b"\n", "CRLF": b"\r\n", "CR": b"\r"}


def _readable(files):
    return [f for f in files if not f.broken]


def _expected_pdfinfo_text(entry, key):
    """What pdfinfo should show for a text entry. Poppler before UTF-8 support reads a
    UTF-8 string as PDFDocEncoding; our UTF-8 values use only bytes where that equals
    Latin-1, so both readings are known."""
    text = entry["info"][key]
    if entry["encodings"].get(key) == "utf8bom":
        return {text, (b"\xef\xbb\xbf" + text.encode("utf-8")).decode("latin-1")}
    return {text}


class ManifestsCoverFolders(unittest.TestCase):
    def test_each_folder_holds_exactly_its_listed_files(self):
        # A stray file in Samples/ would be offered to users as a sample.
        for folder, files, extra in ((generated_files.test_pdf_folder(),
                                      generated_files.test_pdfs(), {"manifest.json"}),
                                     (generated_files.samples_folder(),
                                      generated_files.samples(), set())):
            with self.subTest(folder=str(folder)):
                listed = [f.path.name for f in files]
                self.assertEqual(len(listed), len(set(listed)), "a file is listed twice")
                on_disk = {p.name for p in folder.iterdir()} - extra
                self.assertEqual(on_disk, set(listed))


class HeaderLines(unittest.TestCase):
    def test_header_line_and_its_ending_are_where_the_manifest_says(self):
        for item in generated_files.everything():
            entry = item.entry
            if entry["header"] is None:
                continue
            with self.subTest(file=str(item)):
                data = item.path.read_bytes()
                offset = entry["header_offset"]
                self.assertLess(offset, 1024)
                self.assertEqual(data.find(b"%PDF-"), offset, "an earlier %PDF- in the file")
                expected = entry["header"].encode("latin-1") + LINE_ENDINGS[entry["line_ending"]]
                self.assertEqual(data[offset:offset + len(expected)], expected)
                if entry["line_ending"] == "CR":
                    self.assertNotEqual(data[offset + len(expected):][:1], b"\n")

    def test_files_said_to_have_no_header_line_have_none(self):
        for item in generated_files.everything():
            if item.entry["header"] is not None:
                continue
            with self.subTest(file=str(item)):
                start = item.path.read_bytes()[:1024]
                self.assertIsNone(re.search(rb"%PDF-[^\r\n]*[\r\n]", start))


class PdfinfoAgrees(unittest.TestCase):
    def _report(self, item, *options):
        result = pdfinfo_reader.run(item.path, *options, user_password=item.entry["user_password"])
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        # Poppler repairs many faults silently but says so on standard error.
        self.assertEqual(result.stderr, b"")
        return pdfinfo_reader.parse(result.stdout)

    def test_pages_version_and_encryption(self):
        for item in _readable(generated_files.everything()):
            entry = item.entry
            with self.subTest(file=str(item)):
                report = self._report(item)
                self.assertEqual(int(report["Pages"]), entry["pages"])
                self.assertEqual(report["PDF version"], entry["header"][5:8])
                if entry["encryption"] is None:
                    self.assertEqual(report["Encrypted"], "no")
                else:
                    algorithm = PDFINFO_ALGORITHMS[entry["encryption"]]
                    self.assertRegex(report["Encrypted"], rf"^yes \(.* algorithm:{algorithm}\)$")

    def test_information_entries(self):
        for item in _readable(generated_files.everything()):
            entry = item.entry
            with self.subTest(file=str(item)):
                report = self._report(item, "-custom", "-rawdates")
                self.assertEqual(set(report), set(entry["info"]),
                                 "text entries differ (non-text ones must not show)")
                for key in entry["info"]:
                    self.assertIn(report[key], _expected_pdfinfo_text(entry, key), key)


class Passwords(unittest.TestCase):
    def _opens(self, item, **passwords):
        return pdfinfo_reader.run(item.path, **passwords).returncode == 0

    def test_user_password_is_needed_and_both_passwords_open(self):
        encrypted = [f for f in generated_files.everything() if f.entry["encryption"]]
        self.assertTrue(encrypted)
        for item in encrypted:
            entry = item.entry
            with self.subTest(file=str(item)):
                self.assertTrue(self._opens(item, owner_password=entry["owner_password"]))
                self.assertTrue(self._opens(item, user_password=entry["user_password"]))
                self.assertEqual(self._opens(item), not entry["user_password"])
                self.assertFalse(self._opens(item, user_password="wrong password",
                                             owner_password="wrong password"))


@unittest.skipIf(shutil.which("qpdf") is None, "qpdf not found")
class QpdfFindsNoFault(unittest.TestCase):
    def test_structure_and_security_handler(self):
        for item in _readable(generated_files.everything()):
            entry = item.entry
            with self.subTest(file=str(item)):
                result = subprocess.run(
                    ["qpdf", "--check", f"--password={entry['user_password'] or ''}",
                     str(item.path)], capture_output=True, text=True, timeout=60)
                self.assertEqual((result.returncode, result.stderr), (0, ""))
                if entry["encryption"]:
                    revision = SECURITY_HANDLER_REVISIONS[entry["encryption"]]
                    self.assertIn(f"\nR = {revision}\n", result.stdout)


class BrokenFiles(unittest.TestCase):
    def test_pdfinfo_cannot_read_them(self):
        broken = [f for f in generated_files.test_pdfs() if f.broken]
        self.assertTrue(broken)
        for item in broken:
            with self.subTest(file=str(item)):
                self.assertNotEqual(pdfinfo_reader.run(item.path).returncode, 0)


class ReadmeDescribesSamples(unittest.TestCase):
    def test_sample_section_names_every_sample_and_the_password(self):
        readme = Path(__file__).resolve().parents[2] / "README.md"
        text = readme.read_text(encoding="utf-8")
        match = re.search(r"^## Sample files\n(.*?)(?=^## |\Z)", text, re.M | re.S)
        self.assertIsNotNone(match, "README.md has no 'Sample files' section")
        section = match.group(1)
        for item in generated_files.samples():
            with self.subTest(file=str(item)):
                self.assertIn(item.path.name, section)
                if item.needs_password:
                    self.assertIn(f"`{item.entry['user_password']}`", section)


if __name__ == "__main__":
    generated_files.require_program("pdfinfo", "poppler-utils")
    unittest.main(verbosity=2)
