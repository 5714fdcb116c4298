#!/usr/bin/env python3
"""parvilon-cli when its output cannot be written: exit status 3, one line on standard error
naming the output and the reason, and a file already there left byte for byte as it was.

A full disk is a small tmpfs, mounted in a private mount namespace by this script run again
inside `unshare`; where no such namespace may be made, that part is skipped (exit 77 once
the rest has passed).

    test_cli_output_failures.py PARVILON_CLI TEST_PDF_FOLDER
"""

import os
import shutil
import subprocess
import sys
import tempfile

CLI, PDFS = sys.argv[1], sys.argv[2]
SKIPPED = 77
FILES = [os.path.join(PDFS, name) for name in ("pages-3.pdf", "pages-12.pdf", "pages-1.pdf")]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(output, stdout=subprocess.PIPE):
    environment = dict(os.environ)
    environment.pop("DISPLAY", None)
    environment.pop("QT_QPA_PLATFORM", None)
    done = subprocess.run([CLI, "--properties", "pages,title", *FILES, "--output", output],
                          stdout=stdout, stderr=subprocess.PIPE, env=environment, timeout=120)
    return done.returncode, done.stderr.decode("utf-8", "replace")


def check_one_line(output, err, reason):
    """The error output is exactly one line: the output's path, then the reason."""
    lines = err.splitlines()
    check(len(lines) == 1 and lines[0].startswith(f"parvilon-cli: {output} ")
          and lines[0].endswith(f": {reason}"), f"{output}: one line with {reason!r}: {err!r}")


def fill(folder):
    """Takes every free byte of the file system holding folder."""
    with open(os.path.join(folder, "filler"), "wb", buffering=0) as filler:
        try:
            while True:
                filler.write(b"\0" * 4096)
        except OSError:
            pass


def on_a_full_disk(folder, work):
    """In the private mount namespace: each form of output fails on a full tmpfs and leaves
    the file already there as it was, with nothing beside it."""
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", folder], check=True)
    names = ["r.txt", "r.csv", "r.xlsx"]
    for name in names:
        shutil.copy(os.path.join(work, name), folder)
    fill(folder)
    for name in names:
        target = os.path.join(folder, name)
        code, err = run(target)
        check(code == 3, f"full disk, {name}: exit status {code}")
        check_one_line(target, err, "No space left on device")
        with open(target, "rb") as now, open(os.path.join(work, name), "rb") as before:
            check(now.read() == before.read(), f"full disk, {name}: the old file was changed")
    left = sorted(os.listdir(folder))
    check(left == sorted(names + ["filler"]), f"full disk: files left: {left}")


def in_a_private_mount_namespace(work):
    """Runs this script again with a tmpfs of its own; None when no namespace may be made."""
    folder = os.path.join(work, "small-disk")
    os.mkdir(folder)
    inside = [sys.executable, "-B", __file__, CLI, PDFS, "--full-disk", folder, work]
    for unshare in (["unshare", "-rm"], ["unshare", "-m"]):
        if not shutil.which(unshare[0]):
            return None
        # Only the mount itself shows whether a namespace is allowed here.
        probe = subprocess.run([*unshare, "mount", "-t", "tmpfs", "tmpfs", folder],
                               capture_output=True)
        if probe.returncode == 0:
            return subprocess.run([*unshare, *inside], capture_output=True, text=True)
    return None


if len(sys.argv) > 3 and sys.argv[3] == "--full-disk":
    on_a_full_disk(sys.argv[4], sys.argv[5])
    for failure in failures:
        print("FAIL", failure)
    sys.exit(1 if failures else 0)

with tempfile.TemporaryDirectory() as work:
    # Good files of every form, to be kept when a later write fails.
    for name in ("r.txt", "r.csv", "r.xlsx"):
        code, err = run(os.path.join(work, name))
        check(code == 0 and err == "", f"{name}: {code} {err!r}")

    # A folder that does not exist: the real reason, nothing from the workbook library.
    for name in ("r.txt", "r.csv", "r.xlsx"):
        target = os.path.join(work, "missing", name)
        code, err = run(target)
        check(code == 3, f"missing folder, {name}: exit status {code}")
        check_one_line(target, err, "No such file or directory")

    # Standard output that takes nothing.
    with open("/dev/full", "wb") as full:
        code, err = run("-", stdout=full)
    check(code == 3, f"standard output on /dev/full: exit status {code}")
    check(err.startswith("parvilon-cli: ") and err.endswith(": No space left on device\n")
          and err.count("\n") == 1, f"standard output on /dev/full: {err!r}")

    inside = in_a_private_mount_namespace(work)
    if inside is not None:
        check(inside.returncode == 0, "full disk:\n" + inside.stdout + inside.stderr)

for failure in failures:
    print("FAIL", failure)
print(f"{len(failures)} failures")
if failures:
    sys.exit(1)
if inside is None:
    print("SKIP the full disk: no private mount namespace may be made here "
          "(neither `unshare -rm` nor `unshare -m` may mount a tmpfs)")
    sys.exit(SKIPPED)
