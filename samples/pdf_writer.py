"""Assembles a whole PDF file from numbered objects: header line, the objects in the order
given, a classic cross-reference table and the trailer; or an incremental update appended
to such a file. The layout knobs exist to make the unusual first lines real files have."""

from dataclasses import dataclass
from itertools import groupby

from pdf_syntax import Name, PdfString, Ref, Stream, serialise

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


def _object_bytes(number, value, eol, cipher=None):
    head = b"%d 0 obj" % number + eol
    if isinstance(value, Stream):
        data = cipher(number, value.data) if cipher else value.data
        dictionary = dict(value.dictionary, Length=len(data))
        # The stream keyword must be followed by LF or CR LF, never by CR alone.
        after_keyword = b"\r\n" if eol == b"\r" else eol
        body = (serialise(dictionary, eol) + eol + b"stream" + after_keyword
                + data + eol + b"endstream")
    else:
        body = serialise(value, eol)
    return head + body + eol + b"endobj" + eol


def _write_objects(out, objects, eol, cipher=None):
    """Appends the (number, value) objects to out; returns number -> offset."""
    offsets = {}
    for number, value in objects:
        offsets[number] = len(out)
        out += _object_bytes(number, value, eol, cipher)
    return offsets


def _object_stream(objects, eol):
    """An object stream holding the (number, value) objects."""
    header, body = [], b""
    for number, value in objects:
        header.append(b"%d %d" % (number, len(body)))
        body += serialise(value, eol) + eol
    first = b" ".join(header) + eol
    return Stream({"Type": Name("ObjStm"), "N": len(objects), "First": len(first)}, first + body)


def _finish_with_xref_stream(out, offsets, packed, trailer, eol):
    """Appends a cross-reference stream for objects in the file at offsets and objects
    packed (number -> (object stream, index)), with the trailer's entries, and startxref."""
    number = max([*offsets, *packed]) + 1
    offsets = {**offsets, number: len(out)}
    rows = [b"\0\0\0\0\0\xff\xff"]
    for n in range(1, number + 1):
        if n in offsets:
            rows.append(b"\1" + offsets[n].to_bytes(4, "big") + b"\0\0")
        else:
            stream, index = packed[n]
            rows.append(b"\2" + stream.to_bytes(4, "big") + index.to_bytes(2, "big"))
    dictionary = dict(trailer, Type=Name("XRef"), Size=number + 1, W=[1, 4, 2])
    out += _object_bytes(number, Stream(dictionary, b"".join(rows)), eol)
    out += b"startxref" + eol + b"%d" % offsets[number] + eol + b"%%EOF" + eol


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


def assemble(objects, root, info, file_id, layout=Layout(), trailer_entries=None,
             cipher=None, object_stream=False):
    """objects: (number, value) pairs in writing order, numbered 1..N in any order.
    root is an object number. info is an object number, a dictionary written into the
    trailer itself, or None (no Info dictionary). file_id: bytes for the usual ID of two
    equal halves, None for no ID, or any other object written as the ID as it is (odd IDs
    for the tests). trailer_entries are added at the trailer's end.
    cipher(number, data) gives the stored data of each stream (encryption); object_stream
    (True, or a test of an object's value) packs every object it takes into one object
    stream, with a cross-reference stream in place of the table; streams and the objects
    trailer_entries name stay outside.
    Offsets count from the %PDF- header, which is where readers measure them from when
    bytes precede it."""
    numbers = sorted(number for number, _ in objects)
    if numbers != list(range(1, len(objects) + 1)):
        raise ValueError("objects must be numbered 1..N without gaps")
    eol = layout.eol
    out = bytearray(layout.header_line + eol + BINARY_COMMENT + eol)
    kept_apart = {value.number for value in (trailer_entries or {}).values()
                  if isinstance(value, Ref)}
    packs = object_stream if callable(object_stream) else lambda _: object_stream
    packed = [(number, value) for number, value in objects
              if not isinstance(value, Stream) and number not in kept_apart and packs(value)]
    packed_numbers = {number for number, _ in packed}
    objects = [(number, value) for number, value in objects if number not in packed_numbers]
    if packed:
        objects.append((len(numbers) + 1, _object_stream(packed, eol)))
    offsets = _write_objects(out, objects, eol, cipher)

    trailer = {"Size": len(objects) + 1, "Root": Ref(root)}
    if info is not None:
        trailer["Info"] = Ref(info) if isinstance(info, int) else info
    if isinstance(file_id, bytes):
        trailer["ID"] = [PdfString(file_id, hex=True), PdfString(file_id, hex=True)]
    elif file_id is not None:
        trailer["ID"] = file_id
    trailer.update(trailer_entries or {})
    if packed:
        places = {number: (len(numbers) + 1, index) for index, (number, _) in enumerate(packed)}
        _finish_with_xref_stream(out, offsets, places, trailer, eol)
    else:
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
