"""A minimal PDF writer for the tool's tests.

It writes exactly the bytes it is given for every information entry, so tests can hold any
string encoding, escape or object kind there, and it can leave the trailer's ID out or make
it odd on purpose.
"""


def literal(data: bytes) -> bytes:
    """A PDF literal string holding exactly these bytes."""
    out = bytearray(b"(")
    for byte in data:
        if byte in b"()\\":
            out += b"\\" + bytes([byte])
        elif byte < 0x20 or byte >= 0x7F:
            # Octal escapes keep line breaks and binary bytes out of the file's own lines.
            out += b"\\%03o" % byte
        else:
            out.append(byte)
    return bytes(out + b")")


def hexstring(data: bytes) -> bytes:
    return b"<" + data.hex().encode() + b">"


def text(value: str) -> bytes:
    """A text string: PDFDocEncoding when the text is ASCII, else UTF-16BE with its mark."""
    if value.isascii():
        return literal(value.encode())
    return hexstring(b"\xfe\xff" + value.encode("utf-16-be"))


def name(value: str) -> bytes:
    """A name object; bytes outside printable ASCII and delimiters become #xx."""
    out = bytearray(b"/")
    for byte in value.encode():
        if 0x21 <= byte <= 0x7E and byte not in b"#()<>[]{}/%":
            out.append(byte)
        else:
            out += b"#%02X" % byte
    return bytes(out)


class Document:
    """Objects are numbered in the order they are added; object 1 is the catalog."""

    def __init__(self, version: str = "1.4"):
        self.version = version
        self.objects: list[bytes] = []
        self.trailer_extra: list[tuple[bytes, bytes]] = []

    def add(self, body: bytes) -> int:
        self.objects.append(body)
        return len(self.objects)

    def set(self, number: int, body: bytes) -> None:
        self.objects[number - 1] = body


def build(
    info: list[tuple[bytes, bytes]] | None = None,
    pages: int = 1,
    file_id: bytes | None = None,
    info_direct: bool = False,
    extra_objects: list[bytes] | None = None,
    version: str = "1.4",
    page_tree_fanout: int = 0,
    root_count: int | None = None,
    catalog_extra: bytes = b"",
    trailer_extra: bytes = b"",
) -> bytes:
    """A complete PDF.

    info: (key, value) pairs of raw PDF syntax for the information dictionary; None leaves
    the dictionary out. file_id: raw syntax of the trailer's /ID value (None: no ID).
    extra_objects become objects 4, 5, ... so info values can refer to them as "4 0 R".
    page_tree_fanout > 0 groups the pages under intermediate /Pages nodes. root_count
    replaces the root node's true /Count, as a damaged file might. catalog_extra and
    trailer_extra are raw entries added to the catalog and the trailer.
    """
    doc = Document(version)
    catalog = doc.add(b"")
    root_pages = doc.add(b"")
    content = doc.add(b"<< /Length 0 >>\nstream\n\nendstream")
    for body in extra_objects or []:
        doc.add(body)

    page_numbers = []
    for _ in range(pages):
        page_numbers.append(doc.add(b""))

    def page_body(parent: int) -> bytes:
        return b"<< /Type /Page /Parent %d 0 R /MediaBox [0 0 612 792] /Contents %d 0 R >>" % (
            parent,
            content,
        )

    def refs(numbers: list[int]) -> bytes:
        return b" ".join(b"%d 0 R" % n for n in numbers)

    if page_tree_fanout > 0 and pages > page_tree_fanout:
        groups = [
            page_numbers[i : i + page_tree_fanout] for i in range(0, pages, page_tree_fanout)
        ]
        kids = []
        for group in groups:
            node = doc.add(b"")
            doc.set(
                node,
                b"<< /Type /Pages /Parent %d 0 R /Kids [%s] /Count %d >>"
                % (root_pages, refs(group), len(group)),
            )
            for page in group:
                doc.set(page, page_body(node))
            kids.append(node)
    else:
        kids = page_numbers
        for page in page_numbers:
            doc.set(page, page_body(root_pages))
    count = pages if root_count is None else root_count
    doc.set(root_pages, b"<< /Type /Pages /Kids [%s] /Count %d >>" % (refs(kids), count))
    doc.set(catalog, b"<< /Type /Catalog /Pages %d 0 R %s>>" % (root_pages, catalog_extra))

    trailer = [b"/Size %d" % (len(doc.objects) + 1), b"/Root 1 0 R"]
    if info is not None:
        entries = b"\n".join(key + b" " + value for key, value in info)
        dictionary = b"<<\n" + entries + b"\n>>"
        if info_direct:
            trailer.append(b"/Info " + dictionary)
        else:
            trailer.append(b"/Info %d 0 R" % doc.add(dictionary))
            trailer[0] = b"/Size %d" % (len(doc.objects) + 1)
    if file_id is not None:
        trailer.append(b"/ID " + file_id)
    if trailer_extra:
        trailer.append(trailer_extra)
    return serialize(doc, b" ".join(trailer))


def serialize(doc: Document, trailer: bytes) -> bytes:
    out = bytearray(b"%%PDF-%s\n%%\xe2\xe3\xcf\xd3\n" % doc.version.encode())
    offsets = []
    for number, body in enumerate(doc.objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n%s\nendobj\n" % (number, body)
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(doc.objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer\n<< %s >>\nstartxref\n%d\n%%%%EOF\n" % (trailer, xref)
    return bytes(out)


def stream(data: bytes, entries: bytes = b"") -> bytes:
    """A stream object's body holding data as it is."""
    return b"<< /Length %d %s>>\nstream\n%s\nendstream" % (len(data), entries, data)
