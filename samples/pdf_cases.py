"""What one generated file is: a document to write (perhaps encrypted afterwards) or a
broken file given byte for byte, and the manifest entry that describes it."""

import hashlib
import re
from dataclasses import dataclass

from pdf_document import Document, InfoName, InfoText, as_info_value

# The lowest PDF version each encryption needs; qpdf raises the header to it.
ENCRYPTION_VERSIONS = {"RC4-40": "1.3", "RC4-128": "1.4", "AES-128": "1.6", "AES-256": "1.7"}

LINE_ENDINGS = {b"\r\n": "CRLF", b"\n": "LF", b"\r": "CR"}

# Readers look for the header this far into a file.
HEADER_SEARCH_BYTES = 1024


@dataclass(frozen=True)
class Encryption:
    method: str  # a key of ENCRYPTION_VERSIONS
    user_password: str
    owner_password: str


@dataclass
class PdfCase:
    file: str
    purpose: str
    document: Document
    encryption: Encryption | None = None


@dataclass
class BrokenCase:
    file: str
    purpose: str
    content: bytes


def file_id(name):
    """A fixed document ID per file name, so every build writes the same bytes."""
    return hashlib.md5(name.encode("utf-8")).digest()


def _version_key(version):
    return tuple(int(part) for part in version.split("."))


def expected_header(case):
    """The header line (without its line ending) the finished file starts with."""
    written = case.document.layout.header_line.decode("latin-1")
    if case.encryption is None:
        return written
    written_version = written[len("%PDF-"):len("%PDF-") + 3]
    needed = ENCRYPTION_VERSIONS[case.encryption.method]
    return "%PDF-" + max(written_version, needed, key=_version_key)


def _header_of_bytes(content):
    """Header text from %PDF- to the next line break, its offset and line ending, when
    both lie in the searched start of the file."""
    start = content.find(b"%PDF-", 0, HEADER_SEARCH_BYTES)
    match = re.match(rb"(%PDF-[^\r\n]*)(\r\n|\r|\n)", content[start:]) if start >= 0 else None
    if match is None:
        return None, None, None
    return match.group(1).decode("latin-1"), start, LINE_ENDINGS[match.group(2)]


def manifest_entry(case):
    entry = {"file": case.file, "purpose": case.purpose}
    if isinstance(case, BrokenCase):
        header, offset, ending = _header_of_bytes(case.content)
        entry.update(info={}, info_other={}, encodings={}, pages=None, header=header,
                     header_offset=offset, line_ending=ending, encryption=None,
                     user_password=None, owner_password=None, broken=True)
        return entry

    info, other, encodings = {}, {}, {}
    for key, raw in (case.document.info or {}).items():
        value = as_info_value(raw)
        if isinstance(value, InfoText):
            info[key] = value.text
            encodings[key] = value.encoding_name()
        elif isinstance(value, InfoName):
            other[key] = "/" + value.value
        else:
            other[key] = value.value
    layout = case.document.layout
    encryption = case.encryption
    entry.update(
        info=info, info_other=other, encodings=encodings,
        pages=len(case.document.pages),
        header=expected_header(case),
        header_offset=len(layout.leading_bytes) if encryption is None else 0,
        # qpdf writes its files with LF line endings.
        line_ending=LINE_ENDINGS[layout.eol] if encryption is None else "LF",
        encryption=encryption.method if encryption else None,
        user_password=encryption.user_password if encryption else None,
        owner_password=encryption.owner_password if encryption else None,
        broken=False,
    )
    return entry
