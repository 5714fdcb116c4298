#!/usr/bin/env python3
"""parvilon-cli end to end, without a display: usage, the three output forms and standard
output, folders walked like the folder scan, passwords from standard input, and the exit
status.

    test_cli.py PARVILON_CLI TEST_PDF_FOLDER
"""

import csv
import io
import os
import shutil
import subprocess
import sys
import tempfile

import openpyxl

CLI, PDFS = sys.argv[1], sys.argv[2]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*arguments, stdin=None, env=None):
    environment = dict(os.environ, **(env or {}))
    environment.pop("DISPLAY", None)
    environment.pop("QT_QPA_PLATFORM", None)
    done = subprocess.run([CLI, *arguments], input=stdin, capture_output=True, env=environment,
                          timeout=300)
    return done.returncode, done.stdout, done.stderr.decode("utf-8", "replace")


def pdf(name):
    return os.path.join(PDFS, name)


with tempfile.TemporaryDirectory() as work:
    # The settings of a user who never chose (all eleven columns), whatever this machine has.
    settings = {"XDG_CONFIG_HOME": os.path.join(work, "config")}

    # Bad usage: 2, with what is wrong and the usage.
    for arguments, said in [((pdf("pages-3.pdf"),), "--output is missing"),
                            ((pdf("pages-3.pdf"), "--output", "x.doc"), "must end in"),
                            (("--output", "-"), "no file or folder"),
                            (("--bogus", pdf("pages-3.pdf"), "--output", "-"), "unknown option"),
                            (("--jobs", "0", pdf("pages-3.pdf"), "--output", "-"), "--jobs needs"),
                            (("--properties", "title,colour", pdf("pages-3.pdf"), "--output", "-"),
                             '"colour" is not a property')]:
        code, _, err = run(*arguments, env=settings)
        check(code == 2 and said in err and "usage:" in err, f"{arguments}: {code} {err!r}")

    # The same rows whatever the form: aligned text to a file and to standard output, CSV,
    # a workbook with typed cells.
    files = [pdf("plain-all-fields.pdf"), pdf("pages-12.pdf"), pdf("text-utf16-cjk-emoji.pdf")]
    chosen = ("--properties", "pages,title,version,modified")
    code, stdout, err = run(*chosen, *files, "--output", "-", env=settings)
    check(code == 0 and err == "", f"all read: {code} {err!r}")
    text_file = os.path.join(work, "r.txt")
    code, _, _ = run(*chosen, *files, "--output", text_file, env=settings)
    with open(text_file, "rb") as f:
        check(code == 0 and f.read() == stdout, "the .txt file differs from standard output")
    lines = stdout.decode("utf-8").split("\r\n")
    check(lines[0].split("\t")[:4] == ["Filename" + " " * (len(files[2]) - 8), "PDF Version",
                                       "Title" + " " * (len(lines[0].split("\t")[2]) - 5),
                                       "Number Of Pages"],
          f"columns in the fixed order: {lines[0]!r}")
    csv_file = os.path.join(work, "r.CSV")
    code, _, _ = run(*chosen, *files, "--output", csv_file, env=settings)
    with open(csv_file, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    check(rows[0] == ["Filename", "PDF Version", "Title", "Number Of Pages", "Date Modified"],
          f"CSV header: {rows[0]}")
    check([row[0] for row in rows[1:]] == files and rows[2][3] == "12", f"CSV rows: {rows}")
    book_file = os.path.join(work, "r.xlsx")
    code, _, _ = run(*chosen, *files, "--output", book_file, env=settings)
    sheet = openpyxl.load_workbook(book_file).active
    check(sheet.cell(3, 4).value == 12 and sheet.cell(3, 4).data_type == "n",
          "pages are numbers in the workbook")
    check(sheet.cell(2, 5).is_date, "dates are dates in the workbook")

    # Files read side by side give the rows in the same order as one after the other.
    many = [pdf(name) for name in sorted(os.listdir(PDFS)) if name.endswith(".pdf")][:24]
    _, one_by_one, _ = run(*chosen, "--jobs", "1", *many, "--output", "-", env=settings)
    _, side_by_side, _ = run(*chosen, "--jobs", "4", *many, "--output", "-", env=settings)
    check(one_by_one.count(b"\r\n") == len(many) + 1 and side_by_side == one_by_one,
          "--jobs 4 gives what --jobs 1 gives")

    # A folder is walked like the folder scan: its tree, the extension chosen, "~" left out.
    tree = os.path.join(work, "tree")
    os.makedirs(os.path.join(tree, "sub"))
    shutil.copy(pdf("pages-3.pdf"), os.path.join(tree, "b.PDF"))
    shutil.copy(pdf("pages-1.pdf"), os.path.join(tree, "sub", "a.pdf"))
    shutil.copy(pdf("pages-1.pdf"), os.path.join(tree, "~lock.pdf"))
    shutil.copy(pdf("pages-1.pdf"), os.path.join(tree, "notes.txt"))
    code, stdout, _ = run("--properties", "pages", tree, "--output", "-", env=settings)
    listed = [line.split("\t")[0].strip() for line in stdout.decode().split("\r\n")[1:-1]]
    check(listed == [os.path.join(tree, "b.PDF"), os.path.join(tree, "sub", "a.pdf")],
          f"folder walk: {listed}")
    code, stdout, _ = run("--properties", "pages", "--extension", "txt", tree, "--output", "-",
                          env=settings)
    check(stdout.decode().count("\r\n") == 2 and "notes.txt" in stdout.decode(), "--extension")

    # Passwords from standard input, one line per file, the last one for the rest; files
    # that cannot be read are listed and make the status 1.
    protected = [pdf("encrypted-rc4-128.pdf"), pdf("encrypted-aes-128.pdf"), pdf("pages-1.pdf")]
    code, stdout, err = run("--properties", "title", "--password-prompt", *protected,
                            "--output", "-", stdin=b"user128\nuseraes\n", env=settings)
    text = stdout.decode("utf-8")
    check(code == 0 and "Encrypted RC4-128" in text and "Encrypted AES-128" in text,
          f"passwords from standard input: {code} {text!r} {err!r}")
    code, _, err = run("--properties", "title", *protected, "--output", "-", env=settings)
    unread = [line for line in err.splitlines() if line.startswith("parvilon-cli: could not read ")]
    check(code == 1 and len(unread) == 2 and protected[0] in unread[0],
          f"unread files: {code} {err!r}")

for failure in failures:
    print("FAIL", failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
