#!/usr/bin/env python3
"""Per-file time of our pdftk-compatible tool next to pdftk-java, pdfinfo and exiftool.

    bench_tool.py OUR_PDFTK [--real FOLDER ...] [--java-files N] [--generated N]
                  [--baseline OTHER_PDFTK]

Every tool runs as one process per file, as the program runs it, the tools taking turns
on each file; exiftool also once over all files (batch). Two sets: generated PDFs (made with tests/tool/pdfwriter.py) and real
PDFs from Debian documentation packages (every *.pdf and *.pdf.gz under /usr/share/doc and
/usr/share/R unless --real names folders; install r-doc-pdf, gnuplot-doc and asymptote-doc
for a few dozen). pdftk-java starts a Java machine per file, so it runs on the first
--java-files of each set only. Prints median milliseconds per file and the two targets: at
least 30 times faster than pdftk-java, no slower than pdfinfo. --baseline times another
build of our tool (an earlier commit, say) alongside, with the ratio of the two.
"""

import argparse
import gzip
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "tool"))
from pdfwriter import build, literal, text  # noqa: E402

TIMEOUT_SECONDS = 120


def generate(folder: str, count: int) -> list[str]:
    rng = random.Random(6)
    paths = []
    for i in range(count):
        info = [
            (b"/Title", text(f"Generated document {i} \u00e9t\u00e9")),
            (b"/Author", text("Bench Writer")),
            (b"/Producer", text("Parvilon benchmark")),
            (b"/CreationDate", literal(b"D:20210831143005+02'00'")),
            (b"/ModDate", literal(b"D:20220101000000Z")),
        ]
        pages = rng.randint(1, 60)
        data = build(info, pages=pages, page_tree_fanout=10,
                     file_id=b"[<%032x> <%032x>]" % (i, i + 1))
        path = os.path.join(folder, f"generated-{i:04d}.pdf")
        with open(path, "wb") as out:
            out.write(data)
        paths.append(path)
    return paths


def real_pdfs(folders: list[str], scratch: str) -> list[str]:
    seen, paths = set(), []
    for folder in folders:
        for root, _, names in os.walk(folder):
            for name in sorted(names):
                path = os.path.join(root, name)
                real = os.path.realpath(path)
                if real in seen or ".db." in name:
                    continue
                if name.endswith(".pdf"):
                    seen.add(real)
                    paths.append(real)
                elif name.endswith(".pdf.gz"):
                    seen.add(real)
                    target = os.path.join(scratch, f"{len(paths):03d}-{name[:-3]}")
                    with gzip.open(real) as src, open(target, "wb") as out:
                        shutil.copyfileobj(src, out)
                    paths.append(target)
    return paths


def time_interleaved(tools, files: list[str]) -> dict[str, tuple[list[float], int]]:
    """Wall milliseconds per file and failed runs for each tool. The tools take turns on
    each file, in an order that turns from file to file, so a change in the machine's load
    falls on all of them alike."""
    results = {name: ([], 0) for name, _, _ in tools}
    for name, command, subset in tools:
        subprocess.run(command(subset[0]), capture_output=True, timeout=TIMEOUT_SECONDS)  # warm-up
    for index, path in enumerate(files):
        # The order turns too: the first tool after a file change runs measurably faster.
        turn = index % len(tools)
        for name, command, subset in tools[turn:] + tools[:turn]:
            if index >= len(subset):
                continue
            times, failures = results[name]
            start = time.perf_counter()
            try:
                done = subprocess.run(command(path), capture_output=True, timeout=TIMEOUT_SECONDS)
                failures += done.returncode != 0
            except subprocess.TimeoutExpired:
                failures += 1
            times.append((time.perf_counter() - start) * 1000)
            results[name] = (times, failures)
    return results


def time_batch(command: list[str], files: list[str]) -> float:
    start = time.perf_counter()
    subprocess.run(command + files, capture_output=True, timeout=TIMEOUT_SECONDS * 10)
    return (time.perf_counter() - start) * 1000 / len(files)


def bench_set(label: str, files: list[str], ours: str, java_files: int, scratch: str,
              baseline: str | None = None) -> None:
    out = os.path.join(scratch, "result.txt")
    tools = [("ours (pdftk)", lambda p: [ours, p, "dumpdata", "output", out], files)]
    if baseline:
        tools.append(("ours, baseline", lambda p: [baseline, p, "dumpdata", "output", out], files))
    java = shutil.which("pdftk.pdftk-java")
    if java:
        tools.append(("pdftk-java", lambda p: [java, p, "dumpdata", "output", out],
                      files[:java_files]))
    for name, make in (("pdfinfo", lambda p: ["pdfinfo", p]),
                       ("exiftool", lambda p: ["exiftool", p])):
        if shutil.which(name):
            tools.append((name, make, files))

    print(f"\n{label}: {len(files)} files, {sum(os.path.getsize(f) for f in files) / 1e6:.1f} MB")
    print(f"  {'tool':<22}{'median ms/file':>15}{'mean':>9}{'files':>7}{'failed':>8}")
    medians = {}
    results = time_interleaved(tools, files)
    for name, _, subset in tools:
        times, failed = results[name]
        medians[name] = statistics.median(times)
        print(f"  {name:<22}{medians[name]:>15.2f}{statistics.mean(times):>9.2f}"
              f"{len(subset):>7}{failed:>8}")
    if shutil.which("exiftool"):
        per_file = time_batch(["exiftool", "-q"], files)
        print(f"  {'exiftool (one batch)':<22}{per_file:>15.2f}{'':>9}{len(files):>7}")

    ours_ms = medians["ours (pdftk)"]
    if "ours, baseline" in medians:
        print(f"  ours vs baseline: {ours_ms / medians['ours, baseline']:.3f} of its time")
    if "pdftk-java" in medians:
        ratio = medians["pdftk-java"] / ours_ms
        print(f"  ours vs pdftk-java: {ratio:.1f}x faster (target >= 30x): "
              f"{'met' if ratio >= 30 else 'MISSED'}")
    if "pdfinfo" in medians:
        ratio = ours_ms / medians["pdfinfo"]
        print(f"  ours vs pdfinfo: {ratio:.2f} of its time (target <= 1): "
              f"{'met' if ratio <= 1 else 'MISSED'}")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("ours")
    parser.add_argument("--real", nargs="*", default=["/usr/share/doc", "/usr/share/R"])
    parser.add_argument("--java-files", type=int, default=40)
    parser.add_argument("--generated", type=int, default=200)
    parser.add_argument("--baseline", help="another build of our tool to time alongside")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as scratch:
        generated_folder = os.path.join(scratch, "generated")
        real_folder = os.path.join(scratch, "real")
        os.makedirs(generated_folder)
        os.makedirs(real_folder)
        bench_set(f"{args.generated} generated PDFs", generate(generated_folder, args.generated),
                  args.ours, args.java_files, scratch, args.baseline)
        real = real_pdfs([f for f in args.real if os.path.isdir(f)], real_folder)
        if real:
            bench_set("Real PDFs from Debian documentation packages", real, args.ours,
                      args.java_files, scratch, args.baseline)
            for path in real:
                print(f"    {path}")
        else:
            print("\nno real PDFs found: install r-doc-pdf, gnuplot-doc, asymptote-doc")
    return 0


if __name__ == "__main__":
    sys.exit(main())
