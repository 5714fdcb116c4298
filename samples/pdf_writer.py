"""Assembles a whole PDF file from numbered objects: header line, the objects in the order
given, a classic cross-reference table and the trailer; or an incremental update appended
to such a file. The layout knobs exist to make the unusual first lines real files have."""

from dataclasses import dataclass
from itertools import groupby

from pdf_syntax import PdfString, Ref, Stream, serialise

# The usual second line: a comment with bytes above 127, so transfer programs treat the
# file as binary.
BINARY_COMMENT = b"%\xe2\xe3\xcf\xd3"


@dataclass(frozen=True)
class Layout:
    header_line: bytes = b"%PDF-1.4"
    eol: bytes = b"\n"  # line ending used throughout the file
    leading_bytes: bytes = b""  # anything before the header, as some scanners write


def _xref_entry_end(eol):
    # Every cross-reference entry is exactly 20 bytes, its line ending included.
    return eol if len(eol) == 2 else b" " + eol


def _object_bytes(number, value, eol):
    head = b"%d 0 obj" % number + eol
    if isinstance(value, Stream):
        dictionary = dict(value.dictionary, Length=len(value.data))
        # The stream keyword must be followed by LF or CR LF, never by CR alone.
        after_keyword = b"\r\n" if eol == b"\r" else eol
        body = (serialise(dictionary, eol) + eol + b"stream" + after_keyword
                + value.data + eol + b"endstream")
    else:
        body = serialise(value, eol)
    return head + body + eol + b"endobj" + eol


def _write_objects(out, objects, eol):
    """Appends the (number, value) objects to out; returns number -> offset."""
    offsets = {}
    for number, value in objects:
        offsets[number] = len(out)
        out += _object_bytes(number, value, eol)
    return offsets


def _finish(out, offsets, trailer, eol):
    """Appends the cross-reference section of these objects (runs of numbers in one
    subsection each, after the free entry of object 0), the trailer and startxref."""
    entries = {0: b"0000000000 65535 f"}
    entries.update((number, b"%010d 00000 n" % offset) for number, offset in offsets.items())
    end = _xref_entry_end(eol)
    xref_offset = len(out)
    out += b"xref" + eol
    for _, run in groupby(enumerate(sorted(entries)), lambda item: item[1] - item[0]):
        numbers = [number for _, number in run]
        out += b"%d %d" % (numbers[0], len(numbers)) + eol
        out += b"".join(entries[number] + end for number in numbers)
    out += b"trailer" + eol + serialise(trailer, eol) + eol
    out += b"startxref" + eol + b"%d" % xref_offset + eol + b"%%EOF" + eol


def assemble(objects, root, info, file_id, layout=Layout(), trailer_entries=None):
    """objects: (number, value) pairs in writing order, numbered 1..N in any order.
    root is an object number. info is an object number, a dictionary written into the
    trailer itself, or None (no Info dictionary). file_id: bytes for the usual ID of two
    equal halves, None for no ID, or any other object written as the ID as it is (odd IDs
    for the tests). trailer_entries are added at the trailer's end.
    Offsets count from the %PDF- header, which is where readers measure them from when
    bytes precede it."""
    numbers = sorted(number for number, _ in objects)
    if numbers != list(range(1, len(objects) + 1)):
        raise ValueError("objects must be numbered 1..N without gaps")
    eol = layout.eol
    out = bytearray(layout.header_line + eol + BINARY_COMMENT + eol)
    offsets = _write_objects(out, objects, eol)

    trailer = {"Size": len(objects) + 1, "Root": Ref(root)}
    if info is not None:
        trailer["Info"] = Ref(info) if isinstance(info, int) else info
    if isinstance(file_id, bytes):
        trailer["ID"] = [PdfString(file_id, hex=True), PdfString(file_id, hex=True)]
    elif file_id is not None:
        trailer["ID"] = file_id
    trailer.update(trailer_entries or {})
    _finish(out, offsets, trailer, eol)
    return layout.leading_bytes + bytes(out)


def append_update(base, objects, trailer):
    """base, a file with LF line endings and nothing before its header, with an incremental
    update appended: the (number, value) objects written anew and a section of their own
    whose trailer holds the given entries and /Prev, the offset of base's last section."""
    previous = int(base[base.rindex(b"startxref") + len(b"startxref"):].split()[0])
    out = bytearray(base)
    offsets = _write_objects(out, objects, b"\n")
    _finish(out, offsets, dict(trailer, Prev=previous), b"\n")
    return bytes(out)
