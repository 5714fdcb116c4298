#!/usr/bin/env python3
"""The serving mode (pdftk --serve) against runs of the tool, one per file, over the made
test PDFs and the public corpus, with figures.

    check_serve_against_runs.py TOOL TEST_PDF_FOLDER [CORPUS_FOLDER]

- The same answers: every file without a password, and with each password the manifest or
  the corpus README gives it plus a wrong one, in both dump styles, all served by one
  process, each answer against a fresh run of the tool for that file: status, dump and
  standard error byte for byte. The serving process writes nothing on standard error.
- Time per file, serving against one run per file (printed).
- Memory: the peak resident size of a process that served the list once, and of one that
  served it ten times; more than 25% plus 8 MiB above is a failure (not checked when built
  with AddressSanitizer, which holds freed memory back).
"""

import json
import os
import sys
import tempfile
import time

from serve_client import Worker, run_once

WRONG = b"wrong password"
# The corpus's passwords, as its README lists them; where it names passwords for a group of
# files, each file gets every password of its group.
GROUPS = [
    (["qpdf/enc-R2,V1,U=view,O=master.pdf", "qpdf/enc-R3,V2,U=view,O=master.pdf",
      "qpdf/enc-XI-R6,V5,U=view,O=master.pdf"], ["view", "master"]),
    (["qpdf/enc-XI-R6,V5,O=master.pdf"], ["master"]),
    (["qpdf/enc-long-password.pdf"], ["asdf asdf asdf asdf asdf asdf qwer"]),
    (["qpdf/enc-XI-long-password.pdf"], ["qwertyuiopasdfghjklzxcvbnm" * 4 + "qwertyuiopasdfghjklzxcv"]),
    (["qpdf/c-r2.pdf", "qpdf/c-r3.pdf", "qpdf/c-r4.pdf"], ["user1", "owner2", "user2"]),
    (["qpdf/c-r5-in.pdf", "qpdf/c-r6-in.pdf"], ["user3", "owner4"]),
    (["pdfium/encrypted.pdf"], ["1234", "5678"]),
    ([f"pdfium/encrypted_hello_world_{r}.pdf" for r in ("r2", "r3", "r5", "r6")],
     ["\u00e2ge", "h\u00f4tel"]),
]
ROUNDS = 10


def made_requests(folder: str) -> list[tuple[bytes, bytes | None]]:
    with open(os.path.join(folder, "manifest.json"), encoding="utf-8") as manifest_file:
        manifest = json.load(manifest_file)
    requests = []
    for entry in manifest:
        path = os.path.join(folder, entry["file"]).encode()
        requests.append((path, None))
        for password in (entry["user"], entry["owner"]):
            if password:
                requests += [(path, password.encode()), (path, WRONG)]
    return requests


def corpus_requests(folder: str) -> list[tuple[bytes, bytes | None]]:
    passwords = {}
    for files, group in GROUPS:
        for name in files:
            passwords[name] = [p.encode() for p in group] + [WRONG]
    requests = []
    for root, _, files in sorted(os.walk(folder)):
        for name in sorted(files):
            relative = os.path.relpath(os.path.join(root, name), folder)
            if not name.lower().endswith(".pdf"):
                continue
            path = os.path.join(folder, relative).encode()
            requests.append((path, None))
            requests += [(path, p) for p in passwords.get(relative, [])]
    missing = [name for name in passwords if not os.path.exists(os.path.join(folder, name))]
    if missing:
        raise SystemExit(f"corpus files named for passwords are missing: {missing}")
    return requests


def compare(tool: str, requests, words: bytes, scratch: str) -> tuple[int, float, float]:
    """Differences, then seconds per file served and per run."""
    worker = Worker(tool)
    served = []
    start = time.perf_counter()
    for path, password in requests:
        served.append(worker.ask(path, password or b"", words))
    serve_seconds = time.perf_counter() - start
    code, stderr = worker.close()
    if (code, stderr) != (0, b""):
        print(f"serving process ended with {code}, standard error {stderr[:300]!r}")
        return len(requests), 0.0, 0.0
    differences = 0
    start = time.perf_counter()
    for (path, password), answer in zip(requests, served):
        run = run_once(tool, path, password, words, scratch)
        if run[1:] != answer[1:]:
            differences += 1
            if differences <= 10:
                print(f"DIFFERENT {path!r} password {password!r} {words.decode()}:\n"
                      f"  served {answer[1:]!r}\n  run    {run[1:]!r}")
    run_seconds = time.perf_counter() - start
    return differences, serve_seconds / len(requests), run_seconds / len(requests)


def peak_after(tool: str, requests, rounds: int) -> int:
    worker = Worker(tool)
    for _ in range(rounds):
        for path, password in requests:
            worker.ask(path, password or b"")
    peak = worker.peak_memory_kib()
    worker.close()
    return peak


def sanitized(tool: str) -> bool:
    with open(tool, "rb") as binary:
        return b"__asan_init" in binary.read()


def main() -> int:
    if len(sys.argv) not in (3, 4):
        print(__doc__, file=sys.stderr)
        return 2
    tool, made = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    requests = made_requests(made)
    if len(sys.argv) == 4 and os.path.isdir(sys.argv[3]):
        requests += corpus_requests(os.path.abspath(sys.argv[3]))
    else:
        print("no public corpus: the made test PDFs only")
    files = len({path for path, _ in requests})
    print(f"{len(requests)} requests over {files} files")

    failed = False
    with tempfile.TemporaryDirectory() as scratch:
        for words in (b"dumpdata", b"dump_data_utf8"):
            differences, served, run = compare(tool, requests, words, scratch)
            print(f"{words.decode()}: {differences} differences; {served * 1000:.2f} ms per "
                  f"file served, {run * 1000:.2f} ms per run of the tool "
                  f"({run / served if served else 0:.1f} times)")
            failed |= differences > 0

    once = peak_after(tool, requests, 1)
    many = peak_after(tool, requests, ROUNDS)
    print(f"peak resident size: {once / 1024:.1f} MiB after one round, "
          f"{many / 1024:.1f} MiB after {ROUNDS} ({(many - once) / 1024:+.1f} MiB)")
    if sanitized(tool):
        print("(AddressSanitizer keeps freed memory in quarantine: no bound checked)")
    elif many > once * 1.25 + 8 * 1024:
        print("FAILED: memory grows with the files served")
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
