#!/usr/bin/env python3
"""Per-file time of our pdftk-compatible tool next to pdftk-java, pdfinfo and exiftool.

    bench_tool.py OUR_PDFTK [--real FOLDER ...] [--min-size BYTES] [--java-files N]
                  [--generated N] [--rounds N] [--peers NAME ...] [--baseline OTHER_PDFTK]
                  [--audit]

Every tool runs as one process per file, as the program runs it, the tools taking turns
on each file; exiftool also once over all files (batch). Two sets: generated PDFs (made with
the PDF writer in samples/) and real PDFs (every *.pdf and *.pdf.gz under /usr/share/doc and
/usr/share/R unless --real names folders, such as the cache that
bench/extract/fetch-debian-pdfs.sh fills; --min-size keeps the larger ones only).
pdftk-java starts a Java machine per file, so it runs on the first --java-files of each set
only. --rounds times every file that many times. Prints per tool the median and mean wall
milliseconds per file, the mean processor milliseconds (user and system, which other load on
the machine disturbs less) and the largest peak memory of one run (measured in a separate
pass with /usr/bin/time), then the targets: at least
30 times faster than pdftk-java, at most half of pdfinfo's time. --baseline times another
build of our tool (an earlier commit, say) alongside, with the ratio of the two; --audit
times our tool's dump with its audit lines alongside, with the ratios of the two (target: at
most 10 % more processor time over the set); --peers names the peers to time (pdftk-java,
pdfinfo, exiftool; all by default).
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
                                "samples"))
import pdf_text  # noqa: E402
from pdf_cases import file_id  # noqa: E402
from pdf_document import Document, InfoText, build, grouped  # noqa: E402

TIMEOUT_SECONDS = 120


def generate(folder: str, count: int) -> list[str]:
    rng = random.Random(6)
    paths = []
    for i in range(count):
        info = {
            "Title": InfoText(f"Generated document {i} \u00e9t\u00e9", pdf_text.UTF16BE),
            "Author": "Bench Writer",
            "Producer": "Parvilon benchmark",
            "CreationDate": "D:20210831143005+02'00'",
            "ModDate": "D:20220101000000Z",
        }
        pages = rng.randint(1, 60)
        name = f"generated-{i:04d}.pdf"
        tree = grouped(pages, 10) if pages > 10 else None
        data = build(Document(pages=[b""] * pages, info=info, tree=tree, file_id=file_id(name)))
        path = os.path.join(folder, name)
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


class Runs:
    """One tool's runs: wall and processor milliseconds, failures."""

    def __init__(self):
        self.wall: list[float] = []
        self.cpu: list[float] = []
        self.failures = 0


def run_once(command: list[str], runs: Runs, output: str | None = None) -> None:
    """Runs command with its output discarded, measured by wait4(): wall time and the
    child's own processor time. The output file is removed first, as the program removes it
    before each run: renaming a result over an existing file makes ext4 write it out at once,
    which costs as much as reading a small PDF."""
    if output and os.path.exists(output):
        os.remove(output)
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        _, status, usage = os.wait4(process.pid, 0)
    except BaseException:
        process.kill()
        raise
    process.returncode = os.waitstatus_to_exitcode(status)
    runs.wall.append((time.perf_counter() - start) * 1000)
    runs.cpu.append((usage.ru_utime + usage.ru_stime) * 1000)
    runs.failures += process.returncode != 0


def peak_memory_mb(command, files: list[str], scratch: str) -> float | None:
    """The largest peak resident memory of one run over the files, by /usr/bin/time: the
    peak a process reports counts the process that started it, and time is a small one."""
    if not os.access("/usr/bin/time", os.X_OK):
        return None
    report = os.path.join(scratch, "peak.txt")
    peak = 0
    for path in files:
        subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report, *command(path)],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=TIMEOUT_SECONDS)
        with open(report) as lines:
            peak = max(peak, int(lines.read().split()[-1]))
    return peak / 1024


def time_interleaved(tools, files: list[str], rounds: int, output: str) -> dict[str, Runs]:
    """The runs of each tool on each file, rounds times. The tools take turns on each file,
    in an order that turns from file to file, so a change in the machine's load falls on all
    of them alike."""
    results = {name: Runs() for name, _, _ in tools}
    for name, command, subset in tools:
        run_once(command(subset[0]), Runs(), output)  # warm-up
    turn = 0
    for _ in range(rounds):
        for index, path in enumerate(files):
            # The order turns too: the first tool after a file change runs measurably faster.
            turn += 1
            shift = turn % len(tools)
            for name, command, subset in tools[shift:] + tools[:shift]:
                if index < len(subset):
                    run_once(command(path), results[name], output)
    return results


def time_batch(command: list[str], files: list[str]) -> float:
    start = time.perf_counter()
    subprocess.run(command + files, capture_output=True, timeout=TIMEOUT_SECONDS * 10)
    return (time.perf_counter() - start) * 1000 / len(files)


def bench_set(label: str, files: list[str], ours: str, java_files: int, scratch: str,
              peers: list[str], rounds: int, baseline: str | None = None,
              audit: bool = False) -> None:
    out = os.path.join(scratch, "result.txt")
    tools = [("ours (pdftk)", lambda p: [ours, p, "dumpdata", "output", out], files)]
    if baseline:
        tools.append(("ours, baseline", lambda p: [baseline, p, "dumpdata", "output", out], files))
    if audit:
        tools.append(("ours, audit", lambda p: [ours, p, "dumpdata", "audit", "output", out],
                      files))
    java = shutil.which("pdftk.pdftk-java")
    if java and "pdftk-java" in peers:
        tools.append(("pdftk-java", lambda p: [java, p, "dumpdata", "output", out],
                      files[:java_files]))
    for name, make in (("pdfinfo", lambda p: ["pdfinfo", p]),
                       ("exiftool", lambda p: ["exiftool", p])):
        if shutil.which(name) and name in peers:
            tools.append((name, make, files))

    print(f"\n{label}: {len(files)} files, {sum(os.path.getsize(f) for f in files) / 1e6:.1f} MB,"
          f" {rounds} round(s)")
    print(f"  {'tool':<22}{'median ms/file':>15}{'mean':>9}{'cpu mean':>10}{'peak MB':>9}"
          f"{'files':>7}{'failed':>8}")
    medians = {}
    results = time_interleaved(tools, files, rounds, out)
    for name, command, subset in tools:
        runs = results[name]
        medians[name] = statistics.median(runs.wall)
        peak = peak_memory_mb(command, subset, scratch)
        print(f"  {name:<22}{medians[name]:>15.2f}{statistics.mean(runs.wall):>9.2f}"
              f"{statistics.mean(runs.cpu):>10.2f}"
              f"{'n/a' if peak is None else f'{peak:.1f}':>9}{len(subset):>7}{runs.failures:>8}")
    if shutil.which("exiftool") and "exiftool" in peers:
        per_file = time_batch(["exiftool", "-q"], files)
        print(f"  {'exiftool (one batch)':<22}{per_file:>15.2f}{'':>9}{'':>10}{'':>9}"
              f"{len(files):>7}")

    ours_ms = medians["ours (pdftk)"]
    if "ours, baseline" in medians:
        print(f"  ours vs baseline: {ours_ms / medians['ours, baseline']:.3f} of its time")
    if "ours, audit" in medians:
        cpu = statistics.mean(results["ours, audit"].cpu) / statistics.mean(
            results["ours (pdftk)"].cpu)
        print(f"  ours with audit: {cpu:.3f} of the processor time without (target <= 1.10): "
              f"{'met' if cpu <= 1.10 else 'MISSED'}; "
              f"{medians['ours, audit'] / ours_ms:.3f} of the median time per file")
    if "pdftk-java" in medians:
        ratio = medians["pdftk-java"] / ours_ms
        print(f"  ours vs pdftk-java: {ratio:.1f}x faster (target >= 30x): "
              f"{'met' if ratio >= 30 else 'MISSED'}")
    if "pdfinfo" in medians:
        ratio = ours_ms / medians["pdfinfo"]
        print(f"  ours vs pdfinfo: {ratio:.2f} of its time (target <= 0.5): "
              f"{'met' if ratio <= 0.5 else 'MISSED'}")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("ours")
    parser.add_argument("--real", nargs="*", default=["/usr/share/doc", "/usr/share/R"])
    parser.add_argument("--min-size", type=int, default=0,
                        help="time only the real files larger than this many bytes")
    parser.add_argument("--java-files", type=int, default=40)
    parser.add_argument("--generated", type=int, default=200)
    parser.add_argument("--rounds", type=int, default=1)
    parser.add_argument("--peers", nargs="*", default=["pdftk-java", "pdfinfo", "exiftool"])
    parser.add_argument("--baseline", help="another build of our tool to time alongside")
    parser.add_argument("--audit", action="store_true",
                        help="time our tool's dump with its audit lines alongside")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as scratch:
        generated_folder = os.path.join(scratch, "generated")
        real_folder = os.path.join(scratch, "real")
        os.makedirs(generated_folder)
        os.makedirs(real_folder)
        if args.generated > 0:
            bench_set(f"{args.generated} generated PDFs",
                      generate(generated_folder, args.generated), args.ours, args.java_files,
                      scratch, args.peers, args.rounds, args.baseline, args.audit)
        real = [path for path in real_pdfs([f for f in args.real if os.path.isdir(f)], real_folder)
                if os.path.getsize(path) > args.min_size]
        if real:
            label = "Real PDFs" + (f" over {args.min_size} bytes" if args.min_size else "")
            bench_set(label, real, args.ours, args.java_files, scratch, args.peers, args.rounds,
                      args.baseline, args.audit)
            for path in real:
                print(f"    {path}")
        else:
            print("\nno real PDFs found: install r-doc-pdf, gnuplot-doc, asymptote-doc, or run "
                  "bench/extract/fetch-debian-pdfs.sh and name its folder with --real")
    return 0


if __name__ == "__main__":
    sys.exit(main())
