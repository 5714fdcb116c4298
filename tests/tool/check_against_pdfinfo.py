#!/usr/bin/env python3
"""Our tool against poppler's pdfinfo over the public corpus, with figures.

    check_against_pdfinfo.py TOOL MUTATED_COPIES_RUN CORPUS_FOLDER [--mutations N]

For every PDF of the corpus both tools run without a password. Counted and printed:
- page counts: files where pdfinfo gives a page count and ours gives none or another;
- information values: every Title, Subject, Keywords, Author, Creator, Producer,
  CreationDate and ModDate pdfinfo shows must be ours too, the same text after the
  decoding differences listed in normalized();
- crashes (an exit other than 0 or 1, a sanitizer report, or standard error that is not
  one failure line after warning lines) and hangs (past TOOL_SECONDS);
- mutated copies: MUTATED_COPIES_RUN runs N mutated copies of the corpus's small files
  through the whole read and dump in one process, each bounded in time.
Fails when any figure misses its target: no page-count or value disagreement in qpdf-suite/
or in the other folders, outside the listed exceptions; no crash, no hang. Exits 77 (skipped)
when pdfinfo or the corpus is not there.
"""

import argparse
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys
import time

# Files left out of the comparison, each with the reason: where pdfinfo is plainly wrong or
# cannot serve as the reference.
PDFINFO_EXCEPTIONS = {
    "qpdf-suite/shared-unnamed-field.pdf": "pdfinfo hangs (over a minute of processor time)",
}
PDFINFO_SECONDS = 20
# Our tool limits its own processor time to 60 s; a run past this is a hang.
TOOL_SECONDS = 90
INFO_KEYS = ("Title", "Subject", "Keywords", "Author", "Creator", "Producer", "CreationDate",
             "ModDate")
# pdfinfo writes each field name padded to this width.
FIELD_WIDTH = 17
PDFINFO_FIELDS = INFO_KEYS + (
    "Custom Metadata", "Metadata Stream", "Tagged", "UserProperties", "Suspects", "Form",
    "JavaScript", "Pages", "Encrypted", "Page size", "Page rot", "File size", "Optimized",
    "PDF version")
SANITIZER_REPORTS = (b"AddressSanitizer", b"LeakSanitizer", b"runtime error:")


def pdfinfo_facts(path: str) -> tuple[int | None, dict[str, str]] | None:
    """pdfinfo's page count and information values; None when it hangs."""
    try:
        done = subprocess.run(["pdfinfo", "-rawdates", "-enc", "UTF-8", path],
                              capture_output=True, timeout=PDFINFO_SECONDS)
    except subprocess.TimeoutExpired:
        return None
    text = done.stdout.decode("utf-8", errors="replace")
    fields: dict[str, str] = {}
    current = None
    for line in text.split("\n"):
        name = line.split(":", 1)[0]
        if name in PDFINFO_FIELDS and line[len(name) + 1: FIELD_WIDTH].strip() == "":
            current = name
            fields[name] = line[FIELD_WIDTH:]
        elif current is not None:
            # A value with a line break runs on.
            fields[current] += "\n" + line
    pages = fields.get("Pages", "").strip()
    info = {key: fields[key] for key in INFO_KEYS if key in fields}
    return (int(pages) if pages.isdigit() else None), info


def our_facts(tool: str, path: str) -> dict:
    """Our page count and values, and whether the run crashed or hung."""
    start = time.monotonic()
    try:
        done = subprocess.run([tool, path, "dump_data_utf8", "output", "-"], capture_output=True,
                              timeout=TOOL_SECONDS)
    except subprocess.TimeoutExpired:
        return {"hang": True}
    result = {"hang": False, "seconds": time.monotonic() - start, "crash": None}
    stderr_lines = done.stderr.decode("utf-8", errors="replace").splitlines()
    failures = [line for line in stderr_lines if not line.startswith("pdftk: warning: ")]
    if done.returncode not in (0, 1) or any(r in done.stderr for r in SANITIZER_REPORTS):
        result["crash"] = f"exit {done.returncode}: {done.stderr[-300:]!r}"
    elif any(not line.startswith("pdftk: ") for line in stderr_lines) or len(failures) > 1 or \
            (done.returncode == 1) != (len(failures) == 1):
        result["crash"] = f"standard error out of form: {done.stderr[-300:]!r}"
    dump = done.stdout.decode("utf-8")
    pages = re.search(r"^NumberOfPages: (\d+)$", dump, re.M)
    result["pages"] = int(pages.group(1)) if pages else None
    info = {}
    for key, value in re.findall(r"^InfoBegin\nInfoKey: (.*)\nInfoValue: (.*)$", dump, re.M):
        info[key] = value.replace("&#9;", "\t").replace("&#10;", "\n").replace("&#13;", "\r")
    result["info"] = info
    return result


def normalized(pdfinfo_text: str) -> str:
    """pdfinfo's text as our dump shows it. Documented decoding differences: we drop C0
    control characters other than TAB, LF and CR, where pdfinfo prints them; and we drop
    unpaired UTF-16 surrogates, which pdfinfo prints as U+FFFD (so the replacement
    character is compared as absent on both sides)."""
    text = "".join(c for c in pdfinfo_text if ord(c) >= 0x20 or c in "\t\n\r")
    return text.replace("\ufffd", "")


def relative_files(corpus: str) -> list[str]:
    files = []
    for folder in sorted(os.listdir(corpus)):
        if os.path.isdir(os.path.join(corpus, folder)):
            names = sorted(os.listdir(os.path.join(corpus, folder)))
            files += [f"{folder}/{name}" for name in names if name.lower().endswith(".pdf")]
    return files


def compare_file(tool: str, corpus: str, relative: str) -> dict:
    path = os.path.join(corpus, relative)
    ours = our_facts(tool, path)
    outcome = {"file": relative, "ours": ours, "problems": [], "values": 0, "pages": False}
    if relative in PDFINFO_EXCEPTIONS or ours["hang"]:
        return outcome
    reference = pdfinfo_facts(path)
    if reference is None:
        outcome["problems"].append(("pdfinfo", "pdfinfo hangs: list it as an exception"))
        return outcome
    pages, info = reference
    outcome["values"] = len(info)
    outcome["pages"] = pages is not None
    if pages is not None and ours["pages"] != pages:
        outcome["problems"].append(("pages", f"pdfinfo {pages}, ours {ours['pages']}"))
    for key, value in info.items():
        theirs = normalized(value)
        mine = ours["info"].get(key, "").replace("\ufffd", "")
        if theirs != mine:
            outcome["problems"].append(("info", f"{key}: pdfinfo {theirs!r}, ours {mine!r}"))
    return outcome


def run_mutations(runner: str, corpus: str, count: int) -> tuple[str, str | None]:
    """The runner's figures line, and what went wrong if anything did."""
    keep = os.path.join(os.environ.get("TMPDIR", "/tmp"), f"mutated-copy-{os.getpid()}.pdf")
    done = subprocess.run([runner, "--count", str(count), "--seed", "20240", "--seconds", "30",
                           "--keep", keep, corpus], capture_output=True)
    figures = done.stdout.decode(errors="replace").strip()
    if done.returncode != 0:
        return figures, (f"exit {done.returncode}; the copy is kept in {keep}\n"
                         + done.stderr.decode(errors="replace")[-2000:])
    return figures, None


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("tool")
    parser.add_argument("runner")
    parser.add_argument("corpus")
    parser.add_argument("--mutations", type=int, default=10000)
    args = parser.parse_args()
    if shutil.which("pdfinfo") is None:
        print("pdfinfo is not installed: check skipped")
        return 77
    if not os.path.isdir(os.path.join(args.corpus, "qpdf-suite")):
        print("the public PDF corpus is not there: check skipped")
        return 77

    start = time.monotonic()
    files = relative_files(args.corpus)
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        outcomes = list(pool.map(lambda f: compare_file(args.tool, args.corpus, f), files))
    compare_seconds = time.monotonic() - start

    failed = False
    print("Per folder: files; page counts pdfinfo gives and how many of ours differ; values "
          "pdfinfo shows and how many of ours differ; our crashes and hangs.")
    folders = sorted({f.split("/")[0] for f in files})
    print(f"{'folder':<14}{'files':>6}{'counts':>8}{'differ':>8}{'values':>8}{'differ':>8}"
          f"{'crashes':>9}{'hangs':>7}")
    for folder in folders:
        mine = [o for o in outcomes if o["file"].startswith(folder + "/")]
        counts = sum(1 for o in mine if o["pages"])
        compared_values = sum(o["values"] for o in mine)
        pages = sum(1 for o in mine for kind, _ in o["problems"] if kind == "pages")
        values = sum(1 for o in mine for kind, _ in o["problems"] if kind == "info")
        crashes = sum(1 for o in mine if not o["ours"]["hang"] and o["ours"]["crash"])
        hangs = sum(1 for o in mine if o["ours"]["hang"])
        print(f"{folder:<14}{len(mine):>6}{counts:>8}{pages:>8}{compared_values:>8}{values:>8}"
              f"{crashes:>9}{hangs:>7}")
    for outcome in outcomes:
        ours = outcome["ours"]
        if ours["hang"]:
            print(f"FAIL {outcome['file']}: our tool hangs (over {TOOL_SECONDS} s)")
        elif ours["crash"]:
            print(f"FAIL {outcome['file']}: our tool crashed: {ours['crash']}")
        for _, problem in outcome["problems"]:
            print(f"FAIL {outcome['file']}: {problem}")
        failed = failed or ours["hang"] or bool(ours.get("crash")) or bool(outcome["problems"])
    for relative, reason in PDFINFO_EXCEPTIONS.items():
        print(f"left out: {relative}: {reason}")
    ran = [o for o in outcomes if not o["ours"]["hang"]]
    slowest = max(ran, key=lambda o: o["ours"]["seconds"])
    print(f"compared {len(files)} files in {compare_seconds:.1f} s; our slowest: "
          f"{slowest['file']} {slowest['ours']['seconds']:.2f} s")

    start = time.monotonic()
    figures, problem = run_mutations(args.runner, args.corpus, args.mutations)
    print(f"{figures} ({time.monotonic() - start:.1f} s with start-up)")
    if problem:
        print(f"FAIL mutated copies: {problem}")
        failed = True
    print("FAILED" if failed else "all targets met")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
