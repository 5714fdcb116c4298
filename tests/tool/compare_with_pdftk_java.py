#!/usr/bin/env python3
"""Our dump against pdftk-java's, byte for byte, for every test PDF pdftk-java opens.

    compare_with_pdftk_java.py TOOL TEST_PDF_FOLDER [PUBLIC_CORPUS_FOLDER]

For each document and each of its passwords (none, user, owner) both tools run in dump_data
mode. Where pdftk-java succeeds, ours must too, and these must be equal: the InfoKey and
InfoValue pairs as a set, and the PdfID0, PdfID1 and NumberOfPages lines. pdftk-java writes
TAB, LF and CR inside a key or value raw where we write &#9;, &#10; and &#13;; its text is
translated that way before comparing, so those values are compared too. Our dump must hold
no other lines. Exits 77 (skipped) when pdftk-java is not installed.
"""

import json
import os
import shutil
import subprocess
import sys

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
    compared, refused, failures = 0, 0, []
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
            our_pairs = sorted(info_pairs(mine, raw_breaks=False))
            if their_pairs != our_pairs:
                failures.append(f"{case}: information differs\n  pdftk-java: "
                                f"{their_pairs}\n  ours:       {our_pairs}")
            if trailer_lines(theirs) != trailer_lines(mine):
                failures.append(f"{case}: trailer lines differ\n  pdftk-java: "
                                f"{trailer_lines(theirs)}\n  ours:       {trailer_lines(mine)}")
    for failure in failures:
        print("FAIL", failure)
    print(f"compared {compared} dumps with pdftk-java; {refused} runs pdftk-java could not read")
    if compared < 30:
        print("FAIL too few dumps compared: the test PDFs are missing")
        return 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
