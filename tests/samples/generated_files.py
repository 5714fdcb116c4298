"""The generated PDFs and what their manifests promise. CTest passes the places in the
environment: PARVILON_TEST_PDFS (the test PDF folder, manifest.json inside),
PARVILON_SAMPLES (the Samples folder) and PARVILON_SAMPLES_MANIFEST."""

import json
import os
import shutil
import sys
from dataclasses import dataclass
from pathlib import Path

SKIP_EXIT_CODE = 77


@dataclass
class GeneratedFile:
    path: Path
    entry: dict

    @property
    def broken(self):
        return self.entry["broken"]

    @property
    def needs_password(self):
        return bool(self.entry["user_password"])

    def __str__(self):
        return self.path.name


def _load(folder, manifest):
    entries = json.loads(Path(manifest).read_text(encoding="utf-8"))["files"]
    return [GeneratedFile(Path(folder) / entry["file"], entry) for entry in entries]


def test_pdf_folder():
    return Path(os.environ["PARVILON_TEST_PDFS"])


def samples_folder():
    return Path(os.environ["PARVILON_SAMPLES"])


def test_pdfs():
    return _load(test_pdf_folder(), test_pdf_folder() / "manifest.json")


def samples():
    return _load(samples_folder(), os.environ["PARVILON_SAMPLES_MANIFEST"])


def everything():
    return test_pdfs() + samples()


def require_program(program, package):
    """Ends the test run as skipped when a reader is not installed."""
    if shutil.which(program) is None:
        print(f"SKIPPED: {program} not found; install the Debian package {package}")
        sys.exit(SKIP_EXIT_CODE)
