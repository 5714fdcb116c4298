#!/usr/bin/env python3
"""Our dump against pdftk-java's, byte for byte, for every test PDF pdftk-java opens.

    compare_with_pdftk_java.py TOOL TEST_PDF_FOLDER [PUBLIC_CORPUS_FOLDER]

For each document and each of its passwords (none, user, owner) both tools run in dump_data
mode. Where pdftk-java succeeds, ours must too, and these must be equal: the InfoKey and
InfoValue pairs as a set, and the PdfID0, PdfID1 and NumberOfPages lines. pdftk-java writes
TAB, LF and CR inside a key or value raw where we write &#9;, &#10; and &#13;; its text is
translated that way before comparing, so those values are compared too. Our dump must hold
no other lines. Exits 77 (skipped) when pdftk-java is not installed.

Deliberate differences, checked rather than ignored:
- Values from XMP metadata. Where the information dictionary lacks one of the eight standard
  properties and the catalog's XMP metadata has it, our dump shows the XMP value; pdftk-java
  shows the dictionary only. Such a pair of ours must be absent from pdftk-java's dump and
  equal the XMP value as read here independently (pdfinfo -meta and ElementTree).
- Page objects outside an empty page tree are counted, where pdftk-java reports 0 pages
  (pages-outside-tree.pdf, marked not to compare in the manifest).
- Strings left plain while streams are encrypted (/StrF /Identity): pdftk-java decrypts them
  all the same and shows noise (strings-plain*.pdf, marked not to compare).
- Damaged files pdftk-java cannot open are not compared (they are in check_against_pdfinfo.py).
"""

import json
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

# Public corpus files and their passwords (user and owner where known).
CORPUS_PASSWORDS = {
    "qpdf/enc-R2,V1,U=view,O=master.pdf": ["view", "master"],
    "qpdf/enc-R3,V2,U=view,O=master.pdf": ["view", "master"],
    "qpdf/enc-long-password.pdf": ["asdf asdf asdf asdf asdf asdf qwer"],
    "qpdf/c-r2.pdf": ["user1"],
    "qpdf/c-r3.pdf": ["user2", "owner2"],
    "qpdf/c-r4.pdf": ["user2", "owner2"],
    "qpdf/c-r5-in.pdf": ["user3"],
    "qpdf/c-r6-in.pdf": ["owner4"],
    "qpdf/enc-XI-R6,V5,U=view,O=master.pdf": ["view", "master"],
    "qpdf/enc-XI-R6,V5,O=master.pdf": ["master"],
    "pdfium/encrypted.pdf": ["1234", "5678"],
    "pdfium/encrypted_hello_world_r2.pdf": ["âge", "hôtel"],
    "pdfium/encrypted_hello_world_r3.pdf": ["âge", "hôtel"],
    "pdfium/encrypted_hello_world_r5.pdf": ["âge", "hôtel"],
    "pdfium/encrypted_hello_world_r6.pdf": ["âge", "hôtel"],
}
# pdftk-java hangs on these (xref loops); waiting for its time-out teaches nothing.
PDFTK_JAVA_HANGS = {"qpdf/append-xref-loop.pdf", "qpdf/issue-149.pdf"}
PDFTK_JAVA_SECONDS = 20
# The corpus folders compared. pdftk-java takes half a second a file and hangs on many of the
# crafted files of the larger sets (qpdf-suite, verapdf-xmp), which their own tests cover.
COMPARED_FOLDERS = ("qpdf", "pdfium", "verapdf")
TRAILER_KEYS = (b"PdfID0: ", b"PdfID1: ", b"NumberOfPages: ")
RDF = "{http://www.w3.org/1999/02/22-rdf-syntax-ns#}"
XML_LANG = "{http://www.w3.org/XML/1998/namespace}lang"
# Information key -> XMP property, and how its value is read.
FROM_XMP = {
    "Title": ("{http://purl.org/dc/elements/1.1/}title", "alternative"),
    "Author": ("{http://purl.org/dc/elements/1.1/}creator", "list"),
    "Subject": ("{http://purl.org/dc/elements/1.1/}description", "alternative"),
    "Keywords": ("{http://ns.adobe.com/pdf/1.3/}Keywords", "text"),
    "Creator": ("{http://ns.adobe.com/xap/1.0/}CreatorTool", "text"),
    "Producer": ("{http://ns.adobe.com/pdf/1.3/}Producer", "text"),
    "CreationDate": ("{http://ns.adobe.com/xap/1.0/}CreateDate", "date"),
    "ModDate": ("{http://ns.adobe.com/xap/1.0/}ModifyDate", "date"),
}
XMP_DATE = re.compile(r"(\d{4})(?:-(\d\d)(?:-(\d\d)(?:T(\d\d):(\d\d)(?::(\d\d)(?:\.\d+)?)?"
                      r"(Z|[+-]\d\d:\d\d)?)?)?)?")


def find_pdftk_java(ours: str) -> str | None:
    for name in ("pdftk.pdftk-java", "pdftk"):
        found = shutil.which(name)
        if found and os.path.realpath(found) != os.path.realpath(ours):
            return found
    return None


def run(tool: str, path: str, password: str | None, timeout: int) -> tuple[int, bytes]:
    args = [tool, path] if password is None else [tool, "A=" + path, "input_pw", "A=" + password]
    env = dict(os.environ, LC_ALL="C.UTF-8")
    try:
        done = subprocess.run([*args, "dump_data", "output", "-"], capture_output=True,
                              timeout=timeout, env=env)
    except subprocess.TimeoutExpired:
        return -1, b""
    return done.returncode, done.stdout


def with_references(raw: bytes) -> bytes:
    return raw.replace(b"\t", b"&#9;").replace(b"\n", b"&#10;").replace(b"\r", b"&#13;")


def info_pairs(dump: bytes, raw_breaks: bool) -> list[tuple[bytes, bytes]]:
    """The (key, value) pairs; with raw_breaks a key or value may hold raw line breaks."""
    pairs = []
    records = dump.split(b"InfoBegin\nInfoKey: ")[1:]
    for index, record in enumerate(records):
        key, separator, value = record.partition(b"\nInfoValue: ")
        if not separator:
            raise ValueError(f"record without InfoValue: {record!r}")
        if index == len(records) - 1:
            # The last record runs into the trailer lines.
            ends = [value.find(b"\n" + k) for k in (b"PdfID0: ", b"NumberOfPages: ")]
            ends = [e for e in ends if e >= 0]
            value = value[: min(ends)] if ends else value.rstrip(b"\n")
        else:
            value = value[: -1] if value.endswith(b"\n") else value
        if raw_breaks:
            key, value = with_references(key), with_references(value)
        pairs.append((key, value))
    return pairs


def pdf_date(xmp: str) -> str | None:
    match = XMP_DATE.fullmatch(xmp)
    if not match:
        return None
    year, month, day, hour, minute, second, zone = match.groups()
    # A missing month or day is the first, as in a PDF date.
    date = "D:" + year + (month or "01") + (day or "01")
    if hour:
        date += hour + minute + (second or "00")
    if zone:
        date += "Z" if zone == "Z" else zone[:3] + "'" + zone[4:] + "'"
    return date


def xmp_value(element: ElementTree.Element, kind: str) -> str:
    items = element.iter(RDF + "li")
    items = [(item.get(XML_LANG), (item.text or "").strip()) for item in items]
    if not items:
        return (element.text or "").strip()
    if kind == "list":
        return "; ".join(text for _, text in items if text)
    return next((text for lang, text in items if lang == "x-default"), items[0][1])


def xmp_properties(path: str) -> dict[str, str]:
    """The standard properties of the file's XMP metadata, read with pdfinfo -meta."""
    done = subprocess.run(["pdfinfo", "-meta", path], capture_output=True)
    packet = done.stdout
    start, end = packet.find(b"<x:xmpmeta"), packet.rfind(b"</x:xmpmeta>")
    if start < 0 or end < 0 or b"<!ENTITY" in packet:
        return {}
    try:
        root = ElementTree.fromstring(packet[start:end + len(b"</x:xmpmeta>")])
    except ElementTree.ParseError:
        return {}
    found = {}
    for description in root.iter(RDF + "Description"):
        for key, (name, kind) in FROM_XMP.items():
            value = description.get(name)
            if value is None and description.find(name) is not None:
                value = xmp_value(description.find(name), kind)
            if value is not None and kind == "date":
                value = pdf_date(value.strip())
            if value:
                found.setdefault(key, value.strip() if kind != "date" else value)
    return found


def escaped(text: str) -> bytes:
    """Text in dump_data's escaped form."""
    entities = {"&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;", "'": "&apos;"}
    return "".join(entities.get(c, c if 0x20 <= ord(c) < 0x7F else f"&#{ord(c)};")
                   for c in text).encode()


def without_xmp_values(path: str, ours: list, theirs: list) -> tuple[list, list[str]]:
    """Our pairs less those the XMP metadata explains; and the extra pairs it does not."""
    their_keys = {key for key, _ in theirs}
    extra = [pair for pair in ours if pair not in theirs]
    if not extra:
        return ours, []
    xmp = {key.encode(): escaped(value) for key, value in xmp_properties(path).items()}
    explained = [(k, v) for k, v in extra if k not in their_keys and xmp.get(k) == v]
    return [pair for pair in ours if pair not in explained], [
        f"{k!r}: {v!r} is neither pdftk-java's nor the XMP's" for k, v in extra
        if (k, v) not in explained]


def trailer_lines(dump: bytes) -> list[bytes]:
    return [line for line in dump.split(b"\n") if line.startswith(TRAILER_KEYS)]


def our_lines_are_all_known(dump: bytes) -> bool:
    if dump == b"":
        return True
    known = (b"InfoBegin", b"InfoKey: ", b"InfoValue: ") + TRAILER_KEYS
    return dump.endswith(b"\n") and all(
        line.startswith(known) for line in dump[:-1].split(b"\n"))


def documents(pdf_folder: str, corpus: str | None):
    with open(os.path.join(pdf_folder, "manifest.json"), encoding="utf-8") as f:
        for entry in json.load(f):
            if entry["compare"]:
                passwords = [p for p in (entry["user"], entry["owner"]) if p]
                yield entry["file"], os.path.join(pdf_folder, entry["file"]), passwords
    if corpus and os.path.isdir(corpus):
        for sub in COMPARED_FOLDERS:
            folder = os.path.join(corpus, sub)
            if not os.path.isdir(folder):
                continue
            for name in sorted(os.listdir(folder)):
                relative = f"{sub}/{name}"
                if name.endswith(".pdf") and relative not in PDFTK_JAVA_HANGS:
                    yield relative, os.path.join(folder, name), CORPUS_PASSWORDS.get(relative, [])


def main() -> int:
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    ours = os.path.abspath(sys.argv[1])
    reference = find_pdftk_java(ours)
    if reference is None:
        print("pdftk-java is not installed: comparison skipped")
        return 77
    if shutil.which("pdfinfo") is None:
        print("pdfinfo is not installed (it reads the XMP metadata here): comparison skipped")
        return 77
    compared, refused, failures, from_xmp = 0, 0, [], 0
    for label, path, passwords in documents(sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else None):
        for password in [None, *passwords]:
            case = f"{label} [{password if password is not None else 'no password'}]"
            their_code, theirs = run(reference, path, password, PDFTK_JAVA_SECONDS)
            if their_code != 0:
                refused += 1
                continue
            our_code, mine = run(ours, path, password, 60)
            compared += 1
            if our_code != 0:
                failures.append(f"{case}: pdftk-java reads it, we exit {our_code}")
                continue
            if not our_lines_are_all_known(mine):
                failures.append(f"{case}: unexpected lines in our dump: {mine!r}")
            their_pairs = sorted(info_pairs(theirs, raw_breaks=True))
            all_ours = sorted(info_pairs(mine, raw_breaks=False))
            our_pairs, unexplained = without_xmp_values(path, all_ours, their_pairs)
            from_xmp += len(all_ours) - len(our_pairs)
            failures += [f"{case}: {text}" for text in unexplained]
            if their_pairs != our_pairs:
                failures.append(f"{case}: information differs\n  pdftk-java: "
                                f"{their_pairs}\n  ours:       {our_pairs}")
            if trailer_lines(theirs) != trailer_lines(mine):
                failures.append(f"{case}: trailer lines differ\n  pdftk-java: "
                                f"{trailer_lines(theirs)}\n  ours:       {trailer_lines(mine)}")
    for failure in failures:
        print("FAIL", failure)
    print(f"compared {compared} dumps with pdftk-java; {refused} runs pdftk-java could not read; "
          f"{from_xmp} values of ours came from XMP metadata, as it says")
    if compared < 30:
        print("FAIL too few dumps compared: the test PDFs are missing")
        return 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
