#!/usr/bin/env python3
"""Writes the PDF files of the tests (--tests) or the bundled samples (--samples) into a
folder, with a manifest.json that says what each file holds, so that no binary PDF is
kept in the repository. Files are written byte by byte; qpdf is used only to encrypt.
The output is the same on every run (fixed IDs and dates), except the AES-256 test file,
whose salts qpdf draws at random.

    make_pdfs.py --tests OUTDIR               test files, manifest in OUTDIR/manifest.json
    make_pdfs.py --samples OUTDIR [--manifest FILE]
                                              samples; their manifest goes elsewhere, as
                                              the program lists every file in Samples/
"""

import sys

sys.dont_write_bytecode = True  # runs from the source tree at build time; leave it clean

import argparse  # noqa: E402
import json  # noqa: E402
import os  # noqa: E402
import shutil  # noqa: E402
import tempfile  # noqa: E402
from pathlib import Path  # noqa: E402

import qpdf_encrypt  # noqa: E402
import sample_pdfs  # noqa: E402
import test_pdfs  # noqa: E402
from pdf_cases import BrokenCase, manifest_entry  # noqa: E402
from pdf_document import build  # noqa: E402


def _write_case(case, folder, qpdf):
    target = folder / case.file
    if isinstance(case, BrokenCase):
        target.write_bytes(case.content)
    elif case.encryption is None:
        target.write_bytes(build(case.document))
    else:
        plain = folder / (".plain-" + case.file)
        plain.write_bytes(build(case.document))
        qpdf_encrypt.encrypt(qpdf, plain, target, case.encryption)
        plain.unlink()
    entry = manifest_entry(case)
    _check_header(target, entry)
    return entry


def _check_header(path, entry):
    """Catches a manifest that would promise a header the file does not have (qpdf
    choosing another version, say) here rather than in a test far away."""
    if entry["header"] is None:
        return
    start = entry["header_offset"]
    expected = entry["header"].encode("latin-1")
    actual = path.read_bytes()[start:start + len(expected) + 1]
    if actual[:-1] != expected or actual[-1:] not in (b"\r", b"\n"):
        raise RuntimeError(f"{path.name}: header {actual!r}, manifest says {expected!r}")


def _write_manifest(path, entries):
    path.parent.mkdir(parents=True, exist_ok=True)
    temporary = path.with_name(path.name + ".tmp")
    temporary.write_text(json.dumps({"files": entries}, ensure_ascii=False, indent=2) + "\n",
                         encoding="utf-8")
    os.replace(temporary, path)


def generate(cases, out_dir, manifest_path, qpdf):
    """Builds the files in a fresh folder beside out_dir and then puts it in its place, so
    a failed run leaves the old folder whole and files no longer made do not linger."""
    out_dir = out_dir.resolve()
    out_dir.parent.mkdir(parents=True, exist_ok=True)
    staging = Path(tempfile.mkdtemp(prefix=out_dir.name + ".new-", dir=out_dir.parent))
    try:
        staging.chmod(0o755)
        entries = [_write_case(case, staging, qpdf) for case in cases]
        if manifest_path is not None and manifest_path.parent.resolve() == out_dir:
            _write_manifest(staging / manifest_path.name, entries)
            manifest_path = None
        if out_dir.exists():
            shutil.rmtree(out_dir)
        staging.rename(out_dir)
    except BaseException:
        shutil.rmtree(staging, ignore_errors=True)
        raise
    if manifest_path is not None:
        _write_manifest(manifest_path, entries)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    which = parser.add_mutually_exclusive_group(required=True)
    which.add_argument("--tests", type=Path, metavar="OUTDIR", help="write the test PDFs")
    which.add_argument("--samples", type=Path, metavar="OUTDIR", help="write the samples")
    parser.add_argument("--manifest", type=Path,
                        help="manifest file (default for --tests: OUTDIR/manifest.json)")
    parser.add_argument("--qpdf", default="qpdf", help="the qpdf program (default: qpdf)")
    args = parser.parse_args()

    if args.tests is not None:
        out_dir, cases = args.tests, test_pdfs.all_cases()
        manifest = args.manifest or args.tests / "manifest.json"
    else:
        out_dir, cases = args.samples, sample_pdfs.all_cases()
        manifest = args.manifest
    names = [case.file for case in cases]
    if len(set(names)) != len(names):
        sys.exit("make_pdfs.py: two cases share a file name")
    generate(cases, out_dir, manifest, shutil.which(args.qpdf) or args.qpdf)


if __name__ == "__main__":
    main()
