#!/usr/bin/env python3
"""The tool's serving mode (pdftk --serve) as a process: framing, passwords, bad and cut
requests, the processor limit. Answers are compared with runs of the tool for each file.

    test_tool_serve.py TOOL TEST_PDF_FOLDER
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from serve_client import Worker, read_answer, request, run_once, serve_stream

TOOL = ""
PDFS = b""


def pdf(name: str) -> bytes:
    return os.path.join(PDFS, name.encode())


class ServeTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.path = self.folder.name.encode()

    def tearDown(self):
        self.folder.cleanup()

    def assert_same_as_run(self, answer, path: bytes, password: bytes | None = None,
                           words: bytes = b"dumpdata"):
        run = run_once(TOOL, path, password, words, self.folder.name)
        self.assertEqual((answer.status, answer.dump, answer.errors),
                         (run.status, run.dump, run.errors), path)

    def test_awkward_names_keep_the_framing(self):
        # objects-only.pdf is read with a repair, so its answer holds a warning naming it.
        names = [b"with space.pdf", b"new\nline.pdf", b"X=name.pdf", b"-leading.pdf", b"--serve",
                 b"\xff\xfe latin-1 caf\xe9.pdf", b"request 1 2 0 dumpdata\n.pdf",
                 b"comma,name.pdf", b"answer 9 0 0 0"]
        worker = Worker(TOOL, cwd=self.folder.name)
        for name in names:
            with self.subTest(name=name):
                path = os.path.join(self.path, name)
                shutil.copy(pdf("objects-only.pdf"), path)
                answer = worker.ask(path)
                self.assertEqual(answer.status, 0, answer.errors)
                self.assertIn(b"NumberOfPages: 2\n", answer.dump)
                self.assertTrue(answer.errors.startswith(b"pdftk: warning: "), answer.errors)
                self.assert_same_as_run(answer, path)
                # Relative, the name is still the whole path: a request has no handles.
                self.assertEqual(worker.ask(name).dump, answer.dump)
        self.assertEqual(worker.close(), (0, b""))

    def test_passwords(self):
        cases = [
            ("enc-aes-256-r6.pdf", b"userr6", 0),
            ("enc-aes-256-r6.pdf", b"ownerr6", 0),
            ("enc-aes-256-r6.pdf", b"nope", 1),
            ("enc-aes-256-r6.pdf", None, 1),
            ("enc-aes-256-nonascii.pdf", "\u00e2ge".encode(), 0),
            ("enc-aes-256-nonascii.pdf", "h\u00f4tel".encode("latin-1"), 0),
            ("enc-rc4-128-nonascii.pdf", "h\u00f4tel".encode(), 0),
            ("enc-rc4-128-nonascii.pdf", "\u00e2ge".encode("latin-1"), 0),
            ("enc-aes-128.pdf", b" useraes", 1),
            ("enc-aes-256-owner-only.pdf", None, 0),
            ("plain.pdf", b"unneeded", 0),
        ]
        worker = Worker(TOOL)
        for name, password, status in cases:
            with self.subTest(name=name, password=password):
                answer = worker.ask(pdf(name), password or b"")
                self.assertEqual(answer.status, status, answer.errors)
                self.assert_same_as_run(answer, pdf(name), password)
                if password:
                    self.assertNotIn(password, answer.errors)
        # Bytes no typed line can carry, and the longest password a request takes.
        for password in (b"user\nr6", b"userr6\r", b"x" * 65536):
            with self.subTest(password=password[:10]):
                answer = worker.ask(pdf("enc-aes-256-r6.pdf"), password)
                self.assertEqual(answer.status, 1)
                self.assertTrue(answer.errors.endswith(b": wrong password\n"), answer.errors)
        self.assertEqual(worker.close(), (0, b""))

    def test_many_requests_in_one_process(self):
        # Each file read after others as if alone: every round answers as the first did.
        files = [(pdf("plain.pdf"), b"", b"dumpdata"),
                 (pdf("enc-aes-128.pdf"), b"useraes", b"dump_data"),
                 (pdf("utf16.pdf"), b"", b"dump_data_utf8"),
                 (pdf("objects-only.pdf"), b"", b"dumpdata"),
                 (pdf("enc-aes-128.pdf"), b"", b"dumpdata"),
                 (pdf("garbage.pdf"), b"", b"dumpdata"),
                 (pdf("no-such.pdf"), b"", b"dumpdata")]
        rounds = 40
        first_ident = 10**19 - 1000  # near the largest ID, echoed as given
        stream = b"".join(request(first_ident + i, *files[i % len(files)])
                          for i in range(rounds * len(files)))
        served = serve_stream(TOOL, stream)
        self.assertEqual((served.returncode, served.stderr), (0, b""))
        self.assertEqual([a.ident for a in served.answers],
                         [first_ident + i for i in range(rounds * len(files))])
        first_round = [a[1:] for a in served.answers[:len(files)]]
        self.assertEqual([a.status for a in served.answers[:len(files)]], [0, 0, 0, 0, 1, 1, 1])
        self.assertIn("中文 Café €".encode(), served.answers[2].dump)
        for i, answer in enumerate(served.answers):
            self.assertEqual(answer[1:], first_round[i % len(files)], i)
        for (path, password, words), answer in zip(files, served.answers):
            self.assert_same_as_run(answer, path, password or None, words)

    def test_bad_requests_are_answered_and_serving_goes_on(self):
        cases = {
            "unknown dump word": (pdf("plain.pdf"), b"burst"),
            "two operations": (pdf("plain.pdf"), b"dump_data,dump_data"),
            "empty word": (pdf("plain.pdf"), b"dump_data,"),
            "upper-case word": (pdf("plain.pdf"), b"DUMP_DATA"),
            "no file": (b"", b"dumpdata"),
            "NUL in the path": (pdf("plain.pdf") + b"\0.pdf", b"dumpdata"),
        }
        stream = b""
        for ident, (path, words) in enumerate(cases.values(), start=1):
            stream += request(ident, path, b"", words) + request(100 + ident, pdf("plain.pdf"))
        served = serve_stream(TOOL, stream)
        self.assertEqual(served.returncode, 0)
        for ident, name in enumerate(cases, start=1):
            with self.subTest(name):
                refused, next_one = served.answers[2 * ident - 2: 2 * ident]
                self.assertEqual((refused.ident, refused.status, refused.dump),
                                 (ident, 2, b""))
                self.assertTrue(refused.errors.startswith(b"pdftk: bad request: "))
                self.assertEqual(refused.errors.count(b"\n"), 1)
                self.assertEqual((next_one.ident, next_one.status), (100 + ident, 0))

    def test_malformed_header_ends_the_worker(self):
        good = request(1, pdf("plain.pdf"))
        cases = {
            "not a request": (b"hello\n", 0),
            "empty line": (b"\n", 0),
            "ID not a number": (b"request abc 3 0 dumpdata\n", 0),
            "negative ID": (b"request -1 3 0 dumpdata\n", 0),
            "ID too large": (b"request 18446744073709551616 3 0 dumpdata\n", 0),
            "path length not a number": (b"request 7 x 0 dumpdata\n", 7),
            "path over 64 KiB": (b"request 7 65537 0 dumpdata\n", 7),
            "password over 64 KiB": (b"request 7 3 65537 dumpdata\n", 7),
            "absurd length": (b"request 7 99999999999999999999999 0 dumpdata\n", 7),
            "signed length": (b"request 7 +3 0 dumpdata\n", 7),
            "field missing": (b"request 7 3 0\n", 0),
            "no dump words": (b"request 7 3 0 \n", 7),
            "two blanks": (b"request 7  3 0 dumpdata\n", 0),
            "words with a blank": (b"request 7 3 0 dump data\n", 0),
            "CR LF": (b"request 7 3 0 dumpdata\r\n", 7),
            "header too long": (b"request 7 3 0 " + b"d" * 5000 + b"\n", 0),
        }
        for name, (header, ident) in cases.items():
            with self.subTest(name):
                served = serve_stream(TOOL, good + header + b"abc" + good)
                self.assertEqual(served.returncode, 2)
                self.assertEqual(len(served.answers), 2, served.answers)
                self.assertEqual(served.answers[0][:2], (1, 0))
                answer = served.answers[1]
                self.assertEqual((answer.ident, answer.status, answer.dump), (ident, 2, b""))
                self.assertTrue(answer.errors.startswith(b"pdftk: bad request: "), answer.errors)

    def test_truncated_input_ends_the_worker(self):
        header = b"request 5 %d 7 dumpdata\n" % len(pdf("enc-aes-128.pdf"))
        whole = header + pdf("enc-aes-128.pdf") + b"useraes"
        for cut in range(1, len(whole) + 1):
            with self.subTest(cut=cut):
                served = serve_stream(TOOL, whole[:cut])
                self.assertEqual(len(served.answers), 1)
                answer = served.answers[0]
                if cut == len(whole):
                    self.assertEqual((served.returncode, answer.status), (0, 0))
                    continue
                self.assertEqual(served.returncode, 2)
                self.assertEqual((answer.ident, answer.status),
                                 (5 if cut >= len(header) else 0, 2))
                self.assertEqual(answer.errors,
                                 b"pdftk: bad request: the input ended inside a request\n")

    def test_processor_limit_answers_like_a_run(self):
        # A file of zeros far larger than qpdf scans quickly; the limit's signal is sent by
        # hand while it is read, to a run of the tool and to a serving process.
        slow = os.path.join(self.path, b"zeros.pdf")
        with open(slow, "wb") as out:
            out.truncate(512 << 20)
        run = subprocess.Popen([TOOL, slow, "dumpdata", "output", "-"], stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE)
        wait_for_processor_time(run.pid, 0.2)
        run.send_signal(signal.SIGXCPU)
        run_out, run_err = run.communicate(timeout=60)
        self.assertEqual((run.returncode, run_out), (1, b""))
        self.assertEqual(run_err, b"pdftk: gave up: reading the file took too long\n")

        worker = Worker(TOOL)
        self.assertEqual(worker.ask(pdf("plain.pdf")).status, 0)
        worker.process.stdin.write(request(2, slow))
        worker.process.stdin.flush()
        wait_for_processor_time(worker.process.pid, processor_seconds(worker.process.pid) + 0.2)
        worker.process.send_signal(signal.SIGXCPU)
        self.assertEqual(read_answer(worker.process.stdout), (2, 1, b"", run_err))
        self.assertEqual(worker.close(), (1, b""))

    def test_processor_limit_is_for_each_file(self):
        # A limit for the whole process would stay at the 60 s of one run.
        worker = Worker(TOOL)
        worker.ask(pdf("plain.pdf"))
        with open(f"/proc/{worker.process.pid}/limits", encoding="ascii") as limits:
            line = next(line for line in limits if line.startswith("Max cpu time"))
        self.assertGreater(int(line.split()[3]), 60, line)
        self.assertEqual(worker.close(), (0, b""))


def processor_seconds(pid: int) -> float:
    with open(f"/proc/{pid}/stat", encoding="ascii") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def wait_for_processor_time(pid: int, seconds: float):
    deadline = time.monotonic() + 30
    while processor_seconds(pid) < seconds and time.monotonic() < deadline:
        time.sleep(0.02)

if __name__ == "__main__":
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    TOOL, PDFS = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]).encode()
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)
