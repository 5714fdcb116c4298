"""Turns a document description (information entries, page contents, page-tree shape)
into PDF objects and hands them to the file writer."""

from dataclasses import dataclass, field

import pdf_text
from pdf_syntax import Name, PdfString, Ref, Stream
from pdf_writer import Layout, assemble

A4 = [0, 0, 595, 842]

FONTS = {
    "F1": {"Type": Name("Font"), "Subtype": Name("Type1"), "BaseFont": Name("Helvetica"),
           "Encoding": Name("WinAnsiEncoding")},
    "F2": {"Type": Name("Font"), "Subtype": Name("Type1"), "BaseFont": Name("Helvetica-Bold"),
           "Encoding": Name("WinAnsiEncoding")},
}


@dataclass(frozen=True)
class InfoText:
    """A text entry. encoding None picks what a typical writer would: PDFDocEncoding when
    the text fits, UTF-16BE otherwise."""
    text: str
    encoding: str | None = None
    hex: bool | None = None  # None: hex for UTF-16BE, a literal otherwise

    def pdf_value(self):
        encoding = self.encoding_name()
        hex_form = self.hex if self.hex is not None else encoding == pdf_text.UTF16BE
        return PdfString(pdf_text.encode(self.text, encoding), hex=hex_form)

    def encoding_name(self):
        return self.encoding or pdf_text.natural_encoding(self.text)


@dataclass(frozen=True)
class InfoNumber:
    value: int | float

    def pdf_value(self):
        return self.value


@dataclass(frozen=True)
class InfoName:
    value: str

    def pdf_value(self):
        return Name(self.value)


def as_info_value(value):
    return InfoText(value) if isinstance(value, str) else value


@dataclass
class Document:
    """info: key to str or Info* value, in the order written; None writes no Info
    dictionary at all. pages: one content stream per page. tree: None for a flat page
    tree, or a nested shape: a list whose ints are page indexes and whose lists are
    intermediate page-tree nodes. file_id: as pdf_writer.assemble takes it.

    The rest make the odd files the tool's tests read: info values may be any PDF object,
    written as it is; extra_objects are numbered 1, 2, ... ahead of all others, for values
    to refer to; catalog_entries and trailer_entries are added to those dictionaries;
    root_count replaces the root node's true /Count; direct_info writes the Info
    dictionary into the trailer itself; cipher and object_stream are as pdf_writer.assemble
    takes them; page_entries holds, page by page, entries added to (or replacing those of)
    each page's dictionary."""
    pages: list
    info: dict | None = field(default_factory=dict)
    tree: list | None = None
    indirect_info_values: bool = False
    layout: Layout = Layout()
    file_id: object = b"\0" * 16
    extra_objects: list = field(default_factory=list)
    catalog_entries: dict = field(default_factory=dict)
    trailer_entries: dict = field(default_factory=dict)
    root_count: int | None = None
    direct_info: bool = False
    cipher: object = None
    object_stream: bool = False
    page_entries: list = field(default_factory=list)


def grouped(page_count, size):
    """A page-tree shape whose root holds intermediate nodes of size pages each."""
    return [list(range(first, min(first + size, page_count)))
            for first in range(0, page_count, size)]


class _Numbering:
    def __init__(self):
        self.objects = []

    def add(self, value):
        self.objects.append([len(self.objects) + 1, value])
        return len(self.objects)

    def set(self, number, value):
        self.objects[number - 1][1] = value


def _page_tree(shape, parent, numbering, page_numbers, inherited):
    """Writes one intermediate node and everything below it; returns its number and the
    count of pages under it."""
    node = numbering.add(None)
    kids, count = [], 0
    for item in shape:
        if isinstance(item, list):
            kid, kid_count = _page_tree(item, node, numbering, page_numbers, {})
        else:
            kid, kid_count = page_numbers[item], 1
            page = numbering.objects[kid - 1][1]
            page["Parent"] = Ref(node)
        kids.append(Ref(kid))
        count += kid_count
    dictionary = {"Type": Name("Pages")}
    if parent is not None:
        dictionary["Parent"] = Ref(parent)
    dictionary.update({"Kids": kids, "Count": count}, **inherited)
    numbering.set(node, dictionary)
    return node, count


def _info_object(value):
    value = as_info_value(value)
    return value.pdf_value() if isinstance(value, (InfoText, InfoNumber, InfoName)) else value


def _flatten(shape):
    for item in shape:
        yield from _flatten(item) if isinstance(item, list) else [item]


def build(document):
    """The bytes of the whole file."""
    numbering = _Numbering()
    for value in document.extra_objects:
        numbering.add(value)
    fonts = {key: Ref(numbering.add(font)) for key, font in FONTS.items()}
    resources = {"Font": fonts}
    shape = document.tree if document.tree is not None else list(range(len(document.pages)))
    if sorted(_flatten(shape)) != list(range(len(document.pages))):
        raise ValueError("the page-tree shape must name every page exactly once")
    # A nested tree passes size and resources down from its root, as the format allows;
    # a flat one gives each page its own.
    nested = document.tree is not None
    page_numbers = []
    for content in document.pages:
        contents = numbering.add(Stream({}, content))
        page = {"Type": Name("Page"), "Parent": None, "Contents": Ref(contents)}
        if not nested:
            page.update(MediaBox=A4, Resources=resources)
        if len(page_numbers) < len(document.page_entries):
            page.update(document.page_entries[len(page_numbers)])
        page_numbers.append(numbering.add(page))
    inherited = {"MediaBox": A4, "Resources": resources} if nested else {}
    root_pages, _ = _page_tree(shape, None, numbering, page_numbers, inherited)
    if document.root_count is not None:
        numbering.objects[root_pages - 1][1]["Count"] = document.root_count
    # The catalog comes after the pages, so a file cut in half loses it.
    catalog = numbering.add({"Type": Name("Catalog"), "Pages": Ref(root_pages),
                             **document.catalog_entries})

    info = None
    if document.info is not None:
        entries = {}
        for key, value in document.info.items():
            pdf_value = _info_object(value)
            entries[key] = Ref(numbering.add(pdf_value)) if document.indirect_info_values else pdf_value
        info = entries if document.direct_info else numbering.add(entries)
    return assemble(numbering.objects, catalog, info, document.file_id, document.layout,
                    document.trailer_entries, document.cipher, document.object_stream)
