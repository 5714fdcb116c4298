"""Runs pdfinfo (poppler-utils) on a file and parses its report into key/value pairs."""

import subprocess

# pdfinfo pads "Key:" with spaces so that values start in this column.
VALUE_COLUMN = 17


def run(path, *options, user_password=None, owner_password=None):
    command = ["pdfinfo", "-enc", "UTF-8", *options]
    if user_password is not None:
        command += ["-upw", user_password]
    if owner_password is not None:
        command += ["-opw", owner_password]
    return subprocess.run(command + [str(path)], capture_output=True, timeout=60)


def _entry_start(line):
    """(key, value) when the line starts a new entry, else None. A line belongs to the
    previous value unless the spaces after "Key:" reach exactly the value column."""
    colon = line.find(":")
    if colon <= 0 or not line[0].isalpha():
        return None
    start = max(VALUE_COLUMN, colon + 2)
    if line[colon + 1:start] != " " * (start - colon - 1):
        return None
    return line[:colon], line[start:]


def parse(stdout):
    """The report as a dict. Values may span lines (a line break inside a value); the
    line feeds are kept, and so is any CR before them."""
    text = stdout.decode("utf-8")
    if text.endswith("\n"):
        text = text[:-1]
    entries, key = {}, None
    for line in text.split("\n") if text else []:
        start = _entry_start(line)
        if start is not None:
            key, value = start
            entries[key] = value
        elif key is not None:
            entries[key] += "\n" + line
    return entries
