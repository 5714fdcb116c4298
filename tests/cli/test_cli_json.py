#!/usr/bin/env python3
"""parvilon-cli's JSON and JSON Lines, and the further properties, read back with Python's
json module and checked for their types: every property over the tool's test PDFs, the file
size against pdfinfo's, JSON Lines on standard output as each file is read, the page size
shown in two locales, and a tool without the audit (pdftk-java).

    test_cli_json.py PARVILON_CLI TOOL_TEST_PDF_FOLDER
"""

import datetime
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

CLI, PDFS = sys.argv[1], sys.argv[2]
failures = []

DESCRIBED = ["version", "producer", "creator", "title", "author", "subject", "keywords", "pages",
             "modified", "created", "accessed"]
FURTHER = ["filesize", "pagesize", "encryption", "tagged", "language", "pdfa", "linearized",
           "form", "javascript", "attachments", "signatures"]
EVERY = ",".join(DESCRIBED + FURTHER)


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*arguments, cli=CLI, stdin=None, env=None):
    environment = dict(os.environ, **(env or {}))
    environment.pop("DISPLAY", None)
    environment.pop("QT_QPA_PLATFORM", None)
    done = subprocess.run([cli, *arguments], input=stdin, capture_output=True, env=environment,
                          timeout=300)
    return done.returncode, done.stdout, done.stderr.decode("utf-8", "replace")


def pdf(name):
    return os.path.join(PDFS, name)


def is_iso(text, with_offset):
    try:
        moment = datetime.datetime.fromisoformat(text)
    except (TypeError, ValueError):
        return False
    return (moment.tzinfo is not None) == with_offset


def pdfinfo_file_size(path):
    done = subprocess.run(["pdfinfo", path], capture_output=True, text=True)
    found = re.search(r"^File size:\s+(\d+) bytes", done.stdout, re.M)
    return int(found.group(1)) if found else None


# What each test PDF's further properties are (its name tells what it was made to show).
EXPECTED = {
    "audit-tagged.pdf": {"tagged": True, "language": "en-GB", "pdfa": "PDF/A-2b"},
    "audit-pdfa-element.pdf": {"tagged": False, "language": "fr-CA \u00e9 <&>",
                               "pdfa": "PDF/A-1a"},
    "audit-form.pdf": {"form": "AcroForm", "signatures": 4},
    "audit-xfa.pdf": {"form": "XFA"},
    "audit-js-link.pdf": {"javascript": True},
    "audit-no-js.pdf": {"javascript": False},
    "audit-attachments.pdf": {"attachments": 3},
    "linearized.pdf": {"linearized": True},
    "audit-rotated.pdf": {"pagesize": {"width": 841.89, "height": 595.276, "name": "A4"}},
    "audit-sizes-vary.pdf": {"pagesize": {"width": 595, "height": 480, "name": None}},
    "plain.pdf": {"encryption": "none", "linearized": False, "form": "none", "attachments": 0,
                  "signatures": 0, "pdfa": None},
}
TYPES = {"filesize": int, "pages": int, "tagged": bool, "linearized": bool, "javascript": bool,
         "attachments": int, "signatures": int, "encryption": str, "form": str, "pagesize": dict}

with tempfile.TemporaryDirectory() as work:
    settings = {"XDG_CONFIG_HOME": os.path.join(work, "config"), "LANG": "en_US.UTF-8"}

    # Bad usage: 2.
    for arguments, said in [(("--format", "xml"), "--format needs"),
                            (("--format", "json", "--output", os.path.join(work, "r.txt")),
                             "--format goes with --output -"),
                            (("--output", os.path.join(work, "r.yaml")), ".json or .jsonl")]:
        code, _, err = run("--properties", "filesize", pdf("plain.pdf"), *arguments,
                           *(("--output", "-") if "--output" not in arguments else ()),
                           env=settings)
        check(code == 2 and said in err, f"{arguments}: {code} {err!r}")

    # Every property of every test PDF named above, as a JSON array in the run's order.
    files = [pdf(name) for name in EXPECTED]
    json_file = os.path.join(work, "r.json")
    code, _, err = run("--properties", EVERY, *files, "--output", json_file, env=settings)
    check(code == 0 and err == "", f"all read: {code} {err!r}")
    with open(json_file, encoding="utf-8") as f:
        rows = json.load(f)
    check([row["file"] for row in rows] == files, "one object per file, in the run's order")
    check(any(row["tagged"] is not None for row in rows),
          "no audit values at all: the run does not ask the tool for its audit lines")
    for row in rows:
        name = os.path.basename(row["file"])
        check(list(row) == ["file"] + DESCRIBED + FURTHER,
              f"{name}: the file, then every property in column order: {list(row)}")
        for key, kind in TYPES.items():
            check(isinstance(row[key], kind) and (kind is bool or not isinstance(row[key], bool)),
                  f"{name}: {key} is a {kind.__name__}: {row[key]!r}")
        check(sorted(row["pagesize"] or {}) == ["height", "name", "width"],
              f"{name}: page size keys {row['pagesize']}")
        check(isinstance(row["version"], str) and row["version"].startswith("PDF-1."),
              f"{name}: version {row['version']!r}")
        check(is_iso(row["accessed"], True), f"{name}: accessed with its offset")
        check(row["filesize"] == os.path.getsize(row["file"]), f"{name}: file size")
        for key, value in EXPECTED[name].items():
            check(row[key] == value, f"{name}: {key} is {row[key]!r}, not {value!r}")
    # A document's date with its offset, a date alone as the date; a missing value is null.
    plain = rows[-1]
    check(plain["created"] == "2021-08-31T14:30:05+02:00" and plain["modified"] == "2022-01-01"
          and plain["subject"] == "Figures", f"plain.pdf: {plain}")
    check(rows[0]["subject"] is None and rows[0]["producer"] is None, "no subject: null")
    for row in rows[:3]:
        check(row["filesize"] == pdfinfo_file_size(row["file"]),
              f"file size as pdfinfo gives it: {row['file']}")

    # JSON Lines on standard output and in a .jsonl file: the same objects, one a line.
    code, stdout, _ = run("--properties", EVERY, *files, "--output", "-", "--format", "jsonl",
                          env=settings)
    lines = stdout.decode("utf-8").splitlines()
    without_access = [{k: v for k, v in row.items() if k != "accessed"} for row in rows]
    check(code == 0 and [{k: v for k, v in json.loads(line).items() if k != "accessed"}
                         for line in lines] == without_access,
          "JSON Lines hold the array's objects")
    jsonl_file = os.path.join(work, "r.jsonl")
    run("--properties", "pages,title", *files, "--output", jsonl_file, env=settings)
    code, stdout, _ = run("--properties", "pages,title", *files, "--output", "-", "--format",
                          "jsonl", env=settings)
    with open(jsonl_file, "rb") as f:
        check(f.read() == stdout, "a .jsonl file holds what standard output gets")
    code, stdout, _ = run("--properties", "pages", *files[:2], "--output", "-", "--format", "json",
                          env=settings)
    check(code == 0 and [row["pages"] for row in json.loads(stdout)] == [1, 1],
          "a JSON array on standard output")
    code, _, err = run("--properties", "pages", *files, "--output",
                       os.path.join(work, "missing", "r.jsonl"), env=settings)
    check(code == 3 and "cannot be written" in err, f"a .jsonl that cannot be made: {code} {err!r}")

    # Encrypted: without its password the file is unread, with its encryption and an error;
    # with it, everything.
    code, stdout, err = run("--properties", "pages,encryption,tagged", pdf("enc-aes-256-r6.pdf"),
                            "--output", "-", "--format", "jsonl", env=settings)
    row = json.loads(stdout)
    check(code == 1 and row["encryption"] == "AES-256" and row["pages"] is None
          and row["tagged"] is None and "password" in row["error"], f"no password: {row}")
    code, stdout, _ = run("--properties", "pages,encryption", "--password-prompt",
                          pdf("enc-rc4-128.pdf"), "--output", "-", "--format", "jsonl",
                          stdin=b"user128\n", env=settings)
    row = json.loads(stdout)
    check(code == 0 and row == {"file": pdf("enc-rc4-128.pdf"), "pages": 3,
                                "encryption": "RC4-128"}, f"with its password: {row}")

    # The page size in the locale's measures; "varies" where the pages differ.
    sized = [pdf("audit-rotated.pdf"), pdf("audit-sizes-vary.pdf")]
    for lang, shown in [("en_US.UTF-8", "11.7 \u00d7 8.3 in (A4)"),
                        ("de_DE.UTF-8", "297 \u00d7 210 mm (A4)")]:
        code, stdout, _ = run("--properties", "pagesize,encryption", *sized, "--output", "-",
                              env=dict(settings, LANG=lang))
        text = stdout.decode("utf-8").split("\r\n")
        check(shown in text[1] and "varies" in text[2] and "None" in text[1],
              f"{lang}: {text[1:3]!r}")

    # Each row goes out as soon as its file is read: with a stand-in tool that takes three
    # seconds over the second file, the first line comes well before the end.
    program = os.path.join(work, "program")
    os.makedirs(program)
    shutil.copy(CLI, program)
    with open(os.path.join(program, "pdftk"), "w") as tool:
        tool.write('#!/bin/sh\n[ "$1" = --serve ] && exit 2\n'
                   'case "$1" in *slow*) sleep 3 ;; esac\n'
                   'for a; do out=$a; done\n'
                   'printf "InfoBegin\\nInfoKey: Title\\nInfoValue: T\\nNumberOfPages: 2\\n" > "$out"\n')
    os.chmod(os.path.join(program, "pdftk"), 0o755)
    for name in ("fast.pdf", "slow.pdf"):
        shutil.copy(pdf("plain.pdf"), os.path.join(work, name))
    environment = dict(os.environ, **settings)
    environment.pop("DISPLAY", None)
    started = time.monotonic()
    streaming = subprocess.Popen(
        [os.path.join(program, "parvilon-cli"), "--jobs", "1", "--properties", "pages,title",
         os.path.join(work, "fast.pdf"), os.path.join(work, "slow.pdf"), "--output", "-",
         "--format", "jsonl"], stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=environment)
    first = streaming.stdout.readline()
    first_at = time.monotonic() - started
    rest, _ = streaming.communicate(timeout=60)
    ended_at = time.monotonic() - started
    check(json.loads(first) == {"file": os.path.join(work, "fast.pdf"), "pages": 2,
                                "title": "T"} and ended_at - first_at > 2,
          f"the first line at {first_at:.1f} s, the end at {ended_at:.1f} s: {first!r}")
    check(json.loads(rest)["title"] == "T", f"the second line: {rest!r}")

    # pdftk-java on the PATH (no tool beside the program): the audit's columns stay null,
    # the file's size is still known, and one line says why.
    java = shutil.which("pdftk")
    if java and subprocess.run([java, "--features"], capture_output=True).returncode != 0:
        os.remove(os.path.join(program, "pdftk"))
        code, stdout, err = run("--properties", "title,filesize,pagesize,tagged", pdf("plain.pdf"),
                                pdf("audit-tagged.pdf"), "--output", "-", "--format", "jsonl",
                                cli=os.path.join(program, "parvilon-cli"), env=settings)
        rows = [json.loads(line) for line in stdout.decode("utf-8").splitlines()]
        notes = [line for line in err.splitlines() if "stay empty" in line]
        check(code == 0 and len(rows) == 2 and all(
                  row["pagesize"] is None and row["tagged"] is None and (row["filesize"] or 0) > 0
                  and row["title"] for row in rows), f"with pdftk-java: {code} {rows}")
        check(len(notes) == 1 and "Page Size, Tagged" in notes[0] and java in notes[0],
              f"one note per run: {err!r}")
    else:
        print("no pdftk-java on the PATH: its fallback is not checked")

for failure in failures:
    print("FAIL", failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
