"""Encodes document-information text the three ways a PDF may hold it: PDFDocEncoding
(one byte a character, Latin-1 plus a few typographic signs), UTF-16BE with its byte
order mark, and UTF-8 with its byte order mark."""

PDFDOC = "pdfdoc"
UTF16BE = "utf16be"
UTF8_BOM = "utf8bom"

# Code points whose PDFDocEncoding byte differs from their Latin-1 value.
_PDFDOC_BEYOND_LATIN1 = {
    "\u02d8": 0x18, "\u02c7": 0x19, "\u02c6": 0x1A, "\u02d9": 0x1B,
    "\u02dd": 0x1C, "\u02db": 0x1D, "\u02da": 0x1E, "\u02dc": 0x1F,
    "\u2022": 0x80, "\u2020": 0x81, "\u2021": 0x82, "\u2026": 0x83,
    "\u2014": 0x84, "\u2013": 0x85, "\u0192": 0x86, "\u2044": 0x87,
    "\u2039": 0x88, "\u203a": 0x89, "\u2212": 0x8A, "\u2030": 0x8B,
    "\u201e": 0x8C, "\u201c": 0x8D, "\u201d": 0x8E, "\u2018": 0x8F,
    "\u2019": 0x90, "\u201a": 0x91, "\u2122": 0x92, "\ufb01": 0x93,
    "\ufb02": 0x94, "\u0141": 0x95, "\u0152": 0x96, "\u0160": 0x97,
    "\u0178": 0x98, "\u017d": 0x99, "\u0131": 0x9A, "\u0142": 0x9B,
    "\u0153": 0x9C, "\u0161": 0x9D, "\u017e": 0x9E, "\u20ac": 0xA0,
}


def _pdfdoc_byte(char):
    """The PDFDocEncoding byte of one character, or None when it has none."""
    if char in _PDFDOC_BEYOND_LATIN1:
        return _PDFDOC_BEYOND_LATIN1[char]
    code = ord(char)
    if code in (0x09, 0x0A, 0x0D) or 0x20 <= code <= 0x7E:
        return code
    if 0xA1 <= code <= 0xFF and code != 0xAD:
        return code
    return None


def fits_pdfdoc(text):
    return all(_pdfdoc_byte(c) is not None for c in text)


def encode(text, encoding):
    """The string bytes of text in the given encoding (one of the names above)."""
    if encoding == PDFDOC:
        if not fits_pdfdoc(text):
            raise ValueError(f"not representable in PDFDocEncoding: {text!r}")
        return bytes(_pdfdoc_byte(c) for c in text)
    if encoding == UTF16BE:
        return b"\xfe\xff" + text.encode("utf-16-be")
    if encoding == UTF8_BOM:
        return b"\xef\xbb\xbf" + text.encode("utf-8")
    raise ValueError(f"unknown text encoding {encoding}")


def natural_encoding(text):
    """PDFDocEncoding when the text fits it, as most writers do; UTF-16BE otherwise."""
    return PDFDOC if fits_pdfdoc(text) else UTF16BE
