"""PDF object syntax: the few object kinds our files use and how each is written out.
Python values map as follows: int and float are numbers, bool is a boolean, dict is a
dictionary (keys written in insertion order), list is an array; Name, Ref, PdfString,
Stream and Raw are the classes below."""

import zlib
from dataclasses import dataclass

# Characters a name may hold as they are; any other byte is written as #xx.
_NAME_REGULAR = set(
    b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.+*!'\",;:=?@^`|~"
)


@dataclass(frozen=True)
class Name:
    value: str


@dataclass(frozen=True)
class Ref:
    number: int


@dataclass(frozen=True)
class PdfString:
    """A string of raw bytes. As a literal, bytes go into the file as they are (tabs and
    line feeds included) apart from the escapes the syntax needs, or with octal, every byte
    outside printable ASCII as \\ddd; hex writes <...>."""
    data: bytes
    hex: bool = False
    octal: bool = False


@dataclass
class Stream:
    dictionary: dict
    data: bytes


@dataclass(frozen=True)
class Raw:
    """Syntax written exactly as given, for damage no other kind can hold (a key twice in
    one dictionary, say)."""
    data: bytes


def flate(dictionary, data):
    """A stream holding data compressed with the Flate filter."""
    return Stream(dict(dictionary, Filter=Name("FlateDecode")), zlib.compress(data))


def _literal(data, octal=False):
    out = bytearray(b"(")
    for byte in data:
        if byte in b"\\()":
            out += b"\\" + bytes([byte])
        elif octal and not 0x20 <= byte < 0x7F:
            out += b"\\%03o" % byte
        elif byte == 0x0D:
            # A bare CR inside a literal reads back as LF, so a real CR is escaped.
            out += b"\\r"
        else:
            out.append(byte)
    return bytes(out + b")")


def _name(value):
    out = bytearray(b"/")
    for byte in value.encode("utf-8"):
        out += bytes([byte]) if byte in _NAME_REGULAR else b"#%02X" % byte
    return bytes(out)


def _number(value):
    if isinstance(value, int):
        return str(value).encode()
    text = f"{value:.4f}".rstrip("0").rstrip(".")
    return text.encode() if text not in ("", "-0") else b"0"


def serialise(value, eol=b"\n"):
    """The bytes of one direct object. Streams are handled by the file writer."""
    if isinstance(value, bool):
        return b"true" if value else b"false"
    if isinstance(value, (int, float)):
        return _number(value)
    if isinstance(value, Name):
        return _name(value.value)
    if isinstance(value, Ref):
        return b"%d 0 R" % value.number
    if isinstance(value, PdfString):
        if value.hex:
            return b"<" + value.data.hex().upper().encode() + b">"
        return _literal(value.data, value.octal)
    if isinstance(value, Raw):
        return value.data
    if isinstance(value, list):
        return b"[" + b" ".join(serialise(item, eol) for item in value) + b"]"
    if isinstance(value, dict):
        parts = [b"<<"]
        for key, item in value.items():
            parts.append(_name(key) + b" " + serialise(item, eol))
        parts.append(b">>")
        return eol.join(parts) if len(value) > 3 else b" ".join(parts)
    if value is None:
        return b"null"
    raise TypeError(f"cannot write {type(value).__name__} as a PDF object")
