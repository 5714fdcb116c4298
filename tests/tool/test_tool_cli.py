#!/usr/bin/env python3
"""The tool as a process: exit codes, standard error, the output file, standard input.

    test_tool_cli.py TOOL TEST_PDF_FOLDER
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

TOOL = ""
PDFS = ""


def pdf(name: str) -> str:
    return os.path.join(PDFS, name)


class ToolProcessTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.out = os.path.join(self.folder.name, "result.txt")

    def tearDown(self):
        self.folder.cleanup()

    def run_tool(self, *args: str, stdin: bytes = b"") -> subprocess.CompletedProcess:
        return subprocess.run([TOOL, *args], input=stdin, capture_output=True, timeout=60)

    def assert_failed_cleanly(self, result: subprocess.CompletedProcess, code: int = 1):
        self.assertEqual(result.returncode, code, result.stderr)
        lines = result.stderr.decode(errors="replace").splitlines()
        self.assertEqual(len(lines), 1, result.stderr)
        self.assertTrue(lines[0].startswith("pdftk: "), lines[0])
        self.assertEqual(result.stdout, b"")
        self.assertEqual(os.listdir(self.folder.name), [])

    def test_dump_to_file(self):
        result = self.run_tool(pdf("plain.pdf"), "dumpdata", "output", self.out)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, b"")
        self.assertEqual(result.stdout, b"")
        with open(self.out, "rb") as f:
            text = f.read()
        self.assertTrue(text.startswith(b"InfoBegin\nInfoKey: Author\nInfoValue: Ann Example\n"))
        self.assertTrue(text.endswith(b"NumberOfPages: 1\n"))
        self.assertNotIn(b"\r", text)
        self.assertEqual(os.listdir(self.folder.name), ["result.txt"])

    def test_standard_output_matches_file(self):
        self.run_tool(pdf("utf16.pdf"), "dump_data", "output", self.out)
        result = self.run_tool(pdf("utf16.pdf"), "dump_data", "output", "-")
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(self.out, "rb") as f:
            self.assertEqual(result.stdout, f.read())
        self.assertIn(b"InfoValue: &#20013;&#25991; Caf&#233; &#8364;\n", result.stdout)

    def test_utf8_spelling(self):
        result = self.run_tool(pdf("utf16.pdf"), "dump_data_utf8", "output", "-")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("InfoValue: 中文 Café €\n".encode(), result.stdout)

    def test_password_from_standard_input(self):
        for stdin in (b"userr6\n", b"ownerr6\r\n", b"userr6"):
            with self.subTest(stdin=stdin):
                result = self.run_tool("A=" + pdf("enc-aes-256-r6.pdf"), "input_pw", "A=PROMPT",
                                       "dumpdata", "output", "-", stdin=stdin)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertIn(b"InfoValue: Caf&#233; &#128512; secret\n", result.stdout)

    def test_password_on_command_line(self):
        result = self.run_tool("A=" + pdf("enc-rc4-128-nonascii.pdf"), "input_pw", "A=hôtel",
                               "dumpdata", "output", self.out)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(os.path.exists(self.out))

    def test_processor_time_is_bounded(self):
        # The tool waits for its password here, which leaves time to read its limits.
        process = subprocess.Popen(
            [TOOL, "A=" + pdf("enc-aes-128.pdf"), "input_pw", "A=PROMPT", "dumpdata", "output",
             self.out], stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            limits = ""
            for _ in range(100):
                with open(f"/proc/{process.pid}/limits", encoding="ascii") as f:
                    limits = f.read()
                if "Max cpu time              60 " in limits:
                    break
                time.sleep(0.05)
            self.assertIn("Max cpu time              60 ", limits)
            process.communicate(b"useraes\n", timeout=60)
        finally:
            process.kill()
            process.wait()
        self.assertEqual(process.returncode, 0)

    def test_cryptography_loaded_only_for_encrypted_files(self):
        # Loading gnutls costs more than reading a small PDF; a plain file must not pay it.
        env = dict(os.environ, LD_DEBUG="files")
        plain = subprocess.run([TOOL, pdf("plain.pdf"), "dumpdata", "output", "-"],
                               capture_output=True, env=env, timeout=60)
        encrypted = subprocess.run([TOOL, "A=" + pdf("enc-aes-128.pdf"), "input_pw",
                                    "A=useraes", "dumpdata", "output", "-"],
                                   capture_output=True, env=env, timeout=60)
        self.assertEqual((plain.returncode, encrypted.returncode), (0, 0))
        self.assertIn(b"InfoValue: Caf&#233; &#128512; secret", encrypted.stdout)
        self.assertNotIn(b"libgnutls", plain.stderr)
        self.assertIn(b"libgnutls", encrypted.stderr)

    def test_failures_write_nothing(self):
        fifo = os.path.join(tempfile.gettempdir(), f"tool-cli-fifo-{os.getpid()}.pdf")
        os.mkfifo(fifo)
        self.addCleanup(os.remove, fifo)
        cases = {
            "missing file": ([pdf("no-such.pdf")], b""),
            "not a PDF": ([pdf("not-a-pdf.pdf")], b""),
            "empty file": ([pdf("empty.pdf")], b""),
            "folder": ([PDFS], b""),
            "FIFO": ([fifo], b""),
            "password missing": ([pdf("enc-aes-128.pdf")], b""),
            "wrong password": (["A=" + pdf("enc-aes-128.pdf"), "input_pw", "A=nope"], b""),
            "wrong password typed": (
                ["A=" + pdf("enc-aes-128.pdf"), "input_pw", "A=PROMPT"], b"nope\n"),
            "nothing typed": (["A=" + pdf("enc-aes-128.pdf"), "input_pw", "A=PROMPT"], b""),
        }
        for name, (first, stdin) in cases.items():
            with self.subTest(name):
                result = self.run_tool(*first, "dumpdata", "output", self.out, stdin=stdin)
                self.assert_failed_cleanly(result)

    def test_failure_keeps_password_secret(self):
        result = self.run_tool("A=" + pdf("enc-aes-128.pdf"), "input_pw", "A=hunter2secret",
                               "dumpdata", "output", self.out)
        self.assert_failed_cleanly(result)
        self.assertNotIn(b"hunter2secret", result.stderr)

    def test_file_name_cannot_break_the_error_line(self):
        result = self.run_tool(pdf("missing\nInfoKey: x.pdf"), "dumpdata", "output", self.out)
        self.assert_failed_cleanly(result)

    def test_repairs_are_warning_lines_apart_from_the_failure_line(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        damaged = os.path.join(folder.name, "bad\nname.pdf")
        shutil.copy(pdf("objects-only.pdf"), damaged)
        warning = f"pdftk: warning: {damaged.replace(chr(10), '?')}: rebuilt the trailer"
        result = self.run_tool(damaged, "dumpdata", "output", "-")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(b"NumberOfPages: 2\n", result.stdout)
        lines = result.stderr.decode().splitlines()
        self.assertEqual(len(lines), 1, lines)
        self.assertTrue(lines[0].startswith(warning), lines[0])
        # The first line that is not a warning says why the run failed.
        target = os.path.join(self.folder.name, "missing-folder", "result.txt")
        result = self.run_tool(damaged, "dumpdata", "output", target)
        self.assertEqual(result.returncode, 1)
        lines = result.stderr.decode().splitlines()
        self.assertEqual(len(lines), 2, lines)
        self.assertTrue(lines[0].startswith(warning), lines[0])
        self.assertTrue(lines[1].startswith(f"pdftk: {target}: "), lines[1])

    def test_failure_leaves_earlier_file_alone(self):
        with open(self.out, "wb") as f:
            f.write(b"earlier\n")
        result = self.run_tool(pdf("garbage.pdf"), "dumpdata", "output", self.out)
        self.assertEqual(result.returncode, 1)
        with open(self.out, "rb") as f:
            self.assertEqual(f.read(), b"earlier\n")
        self.assertEqual(os.listdir(self.folder.name), ["result.txt"])

    def test_unwritable_output(self):
        target = os.path.join(self.folder.name, "missing-folder", "result.txt")
        result = self.run_tool(pdf("plain.pdf"), "dumpdata", "output", target)
        self.assert_failed_cleanly(result)

    def test_audit_lines_follow_the_dump(self):
        plain = self.run_tool(pdf("audit-pdfa-element.pdf"), "dump_data", "output", "-")
        audited = self.run_tool(pdf("audit-pdfa-element.pdf"), "dump_data", "audit", "output",
                                "-")
        self.assertEqual((plain.returncode, audited.returncode), (0, 0), audited.stderr)
        self.assertTrue(audited.stdout.startswith(plain.stdout))
        self.assertEqual(audited.stdout[len(plain.stdout):].decode("ascii").splitlines(), [
            "PageSize: 595 842", "PageSizeVaries: No", "Encryption: None", "PasswordToOpen: No",
            "Tagged: No", "Language: fr-CA &#233; &lt;&amp;&gt;", "PdfA: 1A", "Linearized: No",
            "Form: None", "JavaScript: No", "Attachments: 0", "Signatures: 0"])

    def test_audit_of_a_file_the_password_does_not_open(self):
        for args in ([pdf("enc-aes-128.pdf")],
                     ["A=" + pdf("enc-aes-128.pdf"), "input_pw", "A=wrong"]):
            with self.subTest(args=args):
                result = self.run_tool(*args, "dumpdata", "audit", "output", self.out)
                self.assertEqual(result.returncode, 1)
                lines = result.stderr.decode().splitlines()
                self.assertEqual(len(lines), 1, lines)
                self.assertRegex(lines[0], r"^pdftk: .*: (encrypted: a password|wrong password)")
                with open(self.out, "rb") as f:
                    self.assertEqual(f.read(), b"Encryption: AES-128\nPasswordToOpen: Yes\n")
        # The reason comes first, the output's own failure after it.
        target = os.path.join(self.folder.name, "missing-folder", "result.txt")
        result = self.run_tool(pdf("enc-aes-128.pdf"), "dumpdata", "audit", "output", target)
        lines = result.stderr.decode().splitlines()
        self.assertEqual(result.returncode, 1)
        self.assertEqual(len(lines), 2, lines)
        self.assertIn("a password is required", lines[0])
        self.assertTrue(lines[1].startswith(f"pdftk: {target}: "), lines[1])

    def test_features(self):
        result = self.run_tool("--features")
        self.assertEqual((result.returncode, result.stdout, result.stderr),
                         (0, b"audit\naudit_first_page\nserve\n", b""))

    def test_usage(self):
        for args in ([], ["--help"], [pdf("plain.pdf")], [pdf("plain.pdf"), "dump_data"],
                     [pdf("plain.pdf"), "dump_data_annots", "output", "x"],
                     [pdf("plain.pdf"), "dumpdata", "output", self.out, "extra"]):
            with self.subTest(args=args):
                result = self.run_tool(*args)
                self.assertEqual(result.returncode, 2)
                self.assertTrue(result.stderr.startswith(b"usage: pdftk "), result.stderr)
                self.assertEqual(result.stdout, b"")
                self.assertEqual(os.listdir(self.folder.name), [])


if __name__ == "__main__":
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    TOOL, PDFS = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)
