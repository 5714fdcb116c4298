"""Runs pdftk's dump_data on a file and parses the information entries and page count."""

import os
import re
import subprocess
import tempfile
from pathlib import Path

# Lines that start a new record; any other line continues the value before it.
_RECORD_STARTS = ("InfoBegin", "InfoKey:", "InfoValue:", "PdfID0:", "PdfID1:",
                  "NumberOfPages:", "PageMediaBegin", "PageMedia", "BookmarkBegin",
                  "Bookmark", "PageLabelBegin", "PageLabel")


def dump(path, password=None):
    """(exit code, output text). The password goes in on standard input."""
    with tempfile.TemporaryDirectory() as folder:
        output = Path(folder) / "dump.txt"
        command = ["pdftk", str(path)]
        if password is not None:
            command += ["input_pw", "PROMPT"]
        command += ["dump_data", "output", str(output)]
        # pdftk-java cannot open a non-ASCII file name under the C locale.
        environment = dict(os.environ, LC_ALL="C.UTF-8")
        result = subprocess.run(command, input=(password or "") + "\n", capture_output=True,
                                text=True, env=environment, timeout=120)
        # Read as bytes: text mode would turn a CR LF inside a value into LF.
        text = output.read_bytes().decode("utf-8") if output.exists() else ""
    return result.returncode, text


_NAMED = {"amp": "&", "lt": "<", "gt": ">", "quot": '"', "apos": "'"}


def decode(value):
    """pdftk writes characters from U+007F up as &#N; and escapes & < > " '."""
    return re.sub(r"&(#\d+|amp|lt|gt|quot|apos);",
                  lambda m: chr(int(m[1][1:])) if m[1][0] == "#" else _NAMED[m[1]], value)


def parse(text):
    """(information entries, page count). Values keep inner line breaks."""
    info, pages, key, value_key = {}, None, None, None
    for line in text.split("\n"):
        if not line.startswith(_RECORD_STARTS):
            if value_key is not None:
                info[value_key] += "\n" + line
            continue
        value_key = None
        if line.startswith("InfoKey: "):
            key = line[len("InfoKey: "):]
        elif line.startswith("InfoValue: ") and key is not None:
            value_key, key = key, None
            info[value_key] = line[len("InfoValue: "):]
        elif line.startswith("NumberOfPages:"):
            pages = int(line.split(":", 1)[1])
    return {name: decode(value) for name, value in info.items()}, pages
