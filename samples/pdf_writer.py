"""Assembles a whole PDF file from numbered objects: header line, the objects in the order
given, a classic cross-reference table and the trailer. The layout knobs exist to make
the unusual first lines real files have."""

from dataclasses import dataclass

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


def assemble(objects, root, info, file_id, layout=Layout()):
    """objects: (number, value) pairs in writing order, numbered 1..N in any order.
    root and info are object numbers (info may be None: no Info dictionary).
    Offsets count from the %PDF- header, which is where readers measure them from when
    bytes precede it."""
    numbers = sorted(number for number, _ in objects)
    if numbers != list(range(1, len(objects) + 1)):
        raise ValueError("objects must be numbered 1..N without gaps")
    eol = layout.eol
    out = bytearray(layout.header_line + eol + BINARY_COMMENT + eol)
    offsets = {}
    for number, value in objects:
        offsets[number] = len(out)
        out += _object_bytes(number, value, eol)

    xref_offset = len(out)
    end = _xref_entry_end(eol)
    out += b"xref" + eol + b"0 %d" % (len(objects) + 1) + eol
    out += b"0000000000 65535 f" + end
    for number in range(1, len(objects) + 1):
        out += b"%010d 00000 n" % offsets[number] + end

    trailer = {"Size": len(objects) + 1, "Root": Ref(root)}
    if info is not None:
        trailer["Info"] = Ref(info)
    trailer["ID"] = [PdfString(file_id, hex=True), PdfString(file_id, hex=True)]
    out += b"trailer" + eol + serialise(trailer, eol) + eol
    out += b"startxref" + eol + b"%d" % xref_offset + eol + b"%%EOF" + eol
    return layout.leading_bytes + bytes(out)
