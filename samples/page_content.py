"""Content streams for our pages: a little real text in the standard Helvetica fonts, so
the files look right in a viewer. Text is written in WinAnsiEncoding; characters outside
it become '?'."""

import textwrap

from pdf_syntax import PdfString, serialise

LEFT = 72
TOP = 770
WIDTH = 451
# Helvetica averages about half an em a character; this keeps body lines inside WIDTH.
BODY_CHARS_PER_LINE = 80


def _show(x, y, size, text, bold=False):
    encoded = text.encode("cp1252", errors="replace")
    font = b"/F2" if bold else b"/F1"
    return b"BT %s %d Tf %d %d Td %s Tj ET\n" % (font, size, x, y, serialise(PdfString(encoded)))


def test_page(title, page, page_count):
    """A plain page of a test file: what it is and which page this is."""
    return (_show(LEFT, TOP, 16, title, bold=True)
            + _show(LEFT, TOP - 24, 11, f"Page {page} of {page_count}"))


def sample_page(heading, paragraphs, page, page_count, footer, accent=(0.16, 0.33, 0.55)):
    """A page of a sample document: coloured band, heading, wrapped body text, footer."""
    red, green, blue = accent
    out = bytearray(b"q %.2f %.2f %.2f rg 0 800 595 42 re f Q\n" % (red, green, blue))
    out += b"q 1 1 1 rg\n" + _show(LEFT, 814, 11, footer) + b"Q\n"
    out += _show(LEFT, TOP - 10, 22, heading, bold=True)
    out += b"q %.2f %.2f %.2f RG 1 w %d %d m %d %d l S Q\n" % (
        red, green, blue, LEFT, TOP - 22, LEFT + WIDTH, TOP - 22)
    y = TOP - 50
    for paragraph in paragraphs:
        for line in textwrap.wrap(paragraph, BODY_CHARS_PER_LINE):
            out += _show(LEFT, y, 11, line)
            y -= 15
        y -= 9
    out += _show(LEFT, 50, 9, f"Page {page} of {page_count}")
    return bytes(out)
