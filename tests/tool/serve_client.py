"""Talking to the tool's serving mode (pdftk --serve), and running the tool once per file the
way the program does, so that tests can compare the two."""

import os
import re
import subprocess
import threading
from typing import NamedTuple

READY = b"ready 1 audit,audit_first_page,serve\n"
ANSWER_HEADER = re.compile(rb"answer (\d+) (\d+) (\d+) (\d+)\n")


class Answer(NamedTuple):
    ident: int
    status: int
    dump: bytes
    errors: bytes


def request(ident: int, path: bytes, password: bytes = b"", words: bytes = b"dumpdata") -> bytes:
    return b"request %d %d %d %s\n" % (ident, len(path), len(password), words) + path + password


def read_exact(stream, count: int) -> bytes:
    data = stream.read(count)
    if len(data) != count:
        raise AssertionError(f"output ended inside a frame: {count} bytes expected, {len(data)} read")
    return data


def read_answer(stream) -> Answer | None:
    """The next answer; None at the end of the output. A line that is no answer header fails."""
    line = stream.readline(200)
    if line == b"":
        return None
    match = ANSWER_HEADER.fullmatch(line)
    if match is None:
        raise AssertionError(f"not an answer header: {line!r}")
    ident, status, dump_length, error_length = (int(group) for group in match.groups())
    return Answer(ident, status, read_exact(stream, dump_length), read_exact(stream, error_length))


def read_ready(stream):
    line = stream.readline(200)
    if line != READY:
        raise AssertionError(f"not the ready line: {line!r}")


class Worker:
    """One serving process, asked one request at a time as a caller would."""

    def __init__(self, tool: str, cwd: str | None = None):
        self.process = subprocess.Popen([tool, "--serve"], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, cwd=cwd)
        self.next_ident = 1
        read_ready(self.process.stdout)

    def ask(self, path: bytes, password: bytes = b"", words: bytes = b"dumpdata") -> Answer:
        ident = self.next_ident
        self.next_ident += 1
        self.process.stdin.write(request(ident, path, password, words))
        self.process.stdin.flush()
        answer = read_answer(self.process.stdout)
        if answer is None or answer.ident != ident:
            raise AssertionError(f"request {ident} answered by {answer!r}")
        return answer

    def peak_memory_kib(self) -> int:
        with open(f"/proc/{self.process.pid}/status", encoding="ascii") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
        raise AssertionError("no VmHWM")

    def close(self) -> tuple[int, bytes]:
        """Ends the input; the exit status and what the process wrote on standard error."""
        self.process.stdin.close()
        rest = self.process.stdout.read()
        stderr = self.process.stderr.read()
        self.process.stdout.close()
        self.process.stderr.close()
        code = self.process.wait(timeout=60)
        if rest:
            raise AssertionError(f"output after the last answer: {rest[:200]!r}")
        return code, stderr


class Served(NamedTuple):
    answers: list[Answer]
    returncode: int
    stderr: bytes


def serve_stream(tool: str, stream: bytes, cwd: str | None = None) -> Served:
    """Gives the whole stream to one serving process, from a thread so that neither side
    waits on the other, and reads every answer until the end of its output."""
    process = subprocess.Popen([tool, "--serve"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, cwd=cwd)

    def feed():
        try:
            process.stdin.write(stream)
        except BrokenPipeError:
            pass  # the process ended early, as after a malformed header
        finally:
            try:
                process.stdin.close()
            except BrokenPipeError:
                pass

    stderr_chunks: list[bytes] = []
    feeder = threading.Thread(target=feed)
    drainer = threading.Thread(target=lambda: stderr_chunks.append(process.stderr.read()))
    feeder.start()
    drainer.start()
    read_ready(process.stdout)
    answers = []
    while (answer := read_answer(process.stdout)) is not None:
        answers.append(answer)
    feeder.join()
    drainer.join()
    process.stdout.close()
    process.stderr.close()
    return Served(answers, process.wait(timeout=60), b"".join(stderr_chunks))


def run_once(tool: str, path: bytes, password: bytes | None, words: bytes,
             out_folder: str) -> Answer:
    """One run of the tool for the file, as the program starts it: the password, when there
    is one, typed on standard input; the words are those of a request. Its ident is 0."""
    out = os.path.join(out_folder.encode(), b"run-output.txt")
    if password is None:
        args = [tool.encode(), path, *words.split(b","), b"output", out]
        done = subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    else:
        args = [tool.encode(), b"A=" + path, b"input_pw", b"A=PROMPT", *words.split(b","),
                b"output", out]
        done = subprocess.run(args, input=password + b"\n", capture_output=True, timeout=120)
    if done.stdout:
        raise AssertionError(f"a run wrote on standard output: {done.stdout[:200]!r}")
    dump = b""
    if os.path.exists(out):
        with open(out, "rb") as written:
            dump = written.read()
        os.remove(out)
    return Answer(0, done.returncode, dump, done.stderr)
