#!/usr/bin/env python3
"""parvilon-cli at its edges: names that look like handles or options, names that are not
UTF-8, outputs that name an input, lists of any length, writes that fail, bad usage, and
more tools than open files allow, and tools that stay against a tool per file.

    test_cli_edges.py PARVILON_CLI TEST_PDF_FOLDER
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

CLI, PDFS = sys.argv[1], sys.argv[2]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*arguments, stdin=None, env=None, stdout=subprocess.PIPE):
    done = subprocess.run([CLI, *arguments], input=stdin, stdout=stdout,
                          stderr=subprocess.PIPE, env=env, timeout=300)
    return done.returncode, done.stdout or b"", done.stderr.decode("utf-8", "replace")


def pdf(name):
    return os.path.join(PDFS, name)


def rows_of(stdout):
    """The rows of aligned text: cells without their padding, the header left out."""
    return [[cell.strip() for cell in line.split(b"\t")]
            for line in stdout.split(b"\r\n")[1:-1]]


with tempfile.TemporaryDirectory() as work:
    temporary = os.path.join(work, "tmp")
    os.mkdir(temporary)
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"), TMPDIR=temporary)
    env.pop("DISPLAY", None)
    env.pop("QT_QPA_PLATFORM", None)
    pages = ("--properties", "pages")
    os.chdir(work)

    # Names that read as a file handle or an option are read as the files they name.
    shutil.copy(pdf("pages-3.pdf"), "report.pdf")
    shutil.copy(pdf("pages-12.pdf"), "X=report.pdf")
    shutil.copy(pdf("pages-12.pdf"), "-r.pdf")
    code, out, err = run(*pages, "--output", "-", "--", "X=report.pdf", "-r.pdf", env=env)
    check(code == 0 and [row[1] for row in rows_of(out)] == [b"12", b"12"],
          f"handle-like and option-like names: {code} {out!r} {err!r}")
    # After "--", -h is a file too.
    code, out, err = run(*pages, "--output", "-", "--", "-h", env=env)
    check(code == 1 and b"usage" not in out and "-h" in err, f"-- -h: {code} {err!r}")

    # A name whose bytes are not UTF-8, given directly and found by the folder scan, also in
    # a subfolder whose name is not UTF-8 either.
    odd = os.fsencode(work) + b"/tree/caf\xe9"
    os.makedirs(odd)
    shutil.copy(pdf("pages-3.pdf"), os.path.join(work, "tree", "plain.pdf"))
    shutil.copy(pdf("pages-12.pdf"), odd + b"/r\xe9sum\xe9.pdf")
    code, out, err = run(*pages, odd + b"/r\xe9sum\xe9.pdf", "--output", "-", env=env)
    check(code == 0 and rows_of(out)[0][1] == b"12", f"name not UTF-8: {code} {out!r} {err!r}")
    code, out, err = run(*pages, os.path.join(work, "tree"), "--output", "-", env=env)
    check(code == 0 and [row[1] for row in rows_of(out)] == [b"3", b"12"],
          f"folder scan of names not UTF-8: {code} {out!r} {err!r}")

    # What the folder scan leaves out by its rules is counted.
    scanned = os.path.join(work, "scanned")
    os.mkdir(scanned)
    for name in ("a.pdf", "~lock.pdf", ".hidden.pdf"):
        shutil.copy(pdf("pages-1.pdf"), os.path.join(scanned, name))
    code, out, err = run(*pages, scanned, "--output", "-", env=env)
    check(code == 0 and len(rows_of(out)) == 1 and "left out 2 files" in err,
          f"left out by the scan's rules: {code} {err!r}")

    # An output that is one of the inputs is refused, and the input kept: named directly,
    # under another name (a hard link), through a symbolic link, and found by a folder scan.
    victim = os.path.join(work, "in.csv")
    shutil.copy(pdf("pages-3.pdf"), victim)
    before = open(victim, "rb").read()
    os.link(victim, os.path.join(work, "hard.csv"))
    os.symlink(victim, os.path.join(work, "link.csv"))
    shutil.copy(pdf("pages-1.pdf"), os.path.join(scanned, "old.csv"))
    for arguments in [(victim, "--output", victim),
                      (victim, "--output", os.path.join(work, "hard.csv")),
                      (victim, "--output", os.path.join(work, "link.csv")),
                      ("--extension", "csv", scanned, "--output", os.path.join(scanned, "old.csv"))]:
        code, _, err = run(*pages, *arguments, env=env)
        check(code == 2 and "is one of the files to read" in err,
              f"output naming an input {arguments}: {code} {err!r}")
    check(open(victim, "rb").read() == before, "the input named as output is intact")

    # A list of any length is one run: 5,000 names, by lines and by NUL, from a file and
    # from standard input.
    names = [pdf("pages-1.pdf")] * 5000
    listing = os.path.join(work, "list.txt")
    with open(listing, "w") as f:
        f.write("\n".join(names) + "\n")
    output = os.path.join(work, "many.csv")
    code, _, err = run(*pages, "--files-from", listing, "--output", output, env=env)
    check(code == 0 and open(output, "rb").read().count(b"\r\n") == 5001,
          f"--files-from with 5,000 names: {code} {err!r}")
    nul_names = b"\0".join([os.fsencode(pdf("pages-3.pdf")), odd + b"/r\xe9sum\xe9.pdf"]) + b"\0"
    code, out, err = run(*pages, "--files-from", "-", "--null", "--output", "-", stdin=nul_names,
                         env=env)
    check(code == 0 and [row[1] for row in rows_of(out)] == [b"3", b"12"],
          f"--files-from - --null: {code} {out!r} {err!r}")

    # Bad usage is 2, with what is wrong.
    for arguments, said in [(("--properties", "", pdf("pages-1.pdf"), "--output", "-"),
                             "--properties needs"),
                            ((pdf("pages-1.pdf"), "--output", "-", "--output", "x.txt"),
                             "--output is given twice"),
                            (("--files-from", os.path.join(work, "missing"), "--output", "-"),
                             "missing")]:
        code, _, err = run(*arguments, env=env)
        check(code == 2 and said in err, f"usage {arguments}: {code} {err!r}")

    # A failed write is 3, with the reason, and leaves no private folder behind: a full
    # device, and a pipe whose reader has gone.
    with open("/dev/full", "wb") as full:
        code, _, err = run(*pages, pdf("pages-1.pdf"), "--output", "-", env=env, stdout=full)
    check(code == 3 and "No space left on device" in err, f"/dev/full: {code} {err!r}")
    reader = subprocess.Popen(["true"], stdin=subprocess.PIPE)
    reader.wait()
    code, _, err = run(*pages, *[pdf("pages-1.pdf")] * 3, "--output", "-", env=env,
                       stdout=reader.stdin)
    reader.stdin.close()
    check(code == 3 and "Broken pipe" in err, f"closed pipe: {code} {err!r}")
    check(os.listdir(temporary) == [], f"private folders left: {os.listdir(temporary)}")

    # More tools than open files allow: every file is still read.
    many = [pdf("pages-1.pdf")] * 60
    limited = subprocess.run(["prlimit", "--nofile=48:48", CLI, *pages, "--jobs", "1000",
                              *many, "--output", "-"], capture_output=True, env=env, timeout=300)
    check(limited.returncode == 0 and limited.stdout.count(b"\r\n") == 61,
          f"--jobs 1000 under 48 open files: {limited.returncode} {limited.stderr!r}")

    # Tools that stay and a tool per file give the same rows, every property, every test PDF
    # (the dates a file was last read aside, as reading changes them).
    every = ("--properties", "version,producer,creator,title,author,subject,keywords,pages,"
             "modified,created")
    outputs = [run(*every, *way, PDFS, "--output", "-", env=env) for way in ([], ["--per-file"])]
    check(outputs[0][1] == outputs[1][1] and outputs[0][1].count(b"\r\n") > 30,
          f"--per-file differs: {outputs[0][2]!r} {outputs[1][2]!r}")

    # Interrupted, with tools that stay and with a tool per file: 128 plus the signal, and
    # nothing left behind.
    long_list = os.path.join(work, "long-list")
    with open(long_list, "w") as listing:
        listing.write((pdf("pages-12.pdf") + "\n") * 200000)
    for number, way in ((signal.SIGTERM, []), (signal.SIGINT, ["--per-file"])):
        started = subprocess.Popen([CLI, *pages, "--jobs", "1", *way, "--files-from", long_list,
                                    "--output", "-"],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
        time.sleep(1)
        started.send_signal(number)
        code = started.wait(timeout=60)
        check(code == 128 + number, f"interrupted by {number} {way}: {code}")
    check(os.listdir(temporary) == [], f"private folders left: {os.listdir(temporary)}")

for failure in failures:
    print("FAIL", failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
