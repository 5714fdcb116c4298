#!/usr/bin/env python3
"""Makes the tool's test PDFs in a folder, with a manifest.json that describes them.

    make_test_pdfs.py OUTPUT_FOLDER

Plain documents are written byte by byte by the PDF writer in samples/, encrypted ones and
ones with object and cross-reference streams with qpdf, and one is updated by pdftk-java
when it is installed. Each manifest entry has the file name, the user and owner passwords
(null when there is none), and "compare": whether pdftk-java's dump must match ours (false
where our decoding deliberately differs).
"""

import json
import os
import re
import shutil
import subprocess
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "samples"))
import pdf_text  # noqa: E402
from pdf_document import Document, InfoText, build, grouped  # noqa: E402
from pdf_security import Rc4CryptFilter  # noqa: E402
from pdf_syntax import Name, PdfString, Raw, Ref, Stream, flate  # noqa: E402
from pdf_writer import Layout, append_update  # noqa: E402


def literal(data: bytes) -> PdfString:
    """A literal string with every byte outside printable ASCII as an octal escape."""
    return PdfString(data, octal=True)


def hexstring(data: bytes) -> PdfString:
    return PdfString(data, hex=True)


def text(value: str) -> PdfString:
    """ASCII as it is, any other text in UTF-16BE, even what PDFDocEncoding could hold."""
    encoding = pdf_text.PDFDOC if value.isascii() else pdf_text.UTF16BE
    return InfoText(value, encoding).pdf_value()


def document(info, pages: int = 1, **options) -> bytes:
    """A document of empty pages; info holds (key, value) pairs, or is None for no Info
    dictionary. Options are Document's; the file has the tests' ID unless they give another."""
    options.setdefault("file_id", ID)
    return build(Document(pages=[b""] * pages, info=None if info is None else dict(info),
                          **options))


ID = [hexstring(bytes.fromhex("0123456789abcdef0123456789abcdef")),
      hexstring(bytes.fromhex("fedcba9876543210fedcba9876543210"))]
# Larger than the tool reads in one go, so it is read piecemeal from the file.
LARGE_STREAM = Stream({}, b"0 0 m\n" * 400000)
LONG_PASSWORD = ("qwertyuiopasdfghjklzxcvbnm" * 5)[:127]

STANDARD_INFO = [
    ("Title", text("Annual report 2020")),
    ("Author", text("Ann Example")),
    ("Subject", text("Figures")),
    ("Keywords", text("report, figures")),
    ("Creator", text("Writer")),
    ("Producer", text("Parvilon test maker")),
    ("CreationDate", literal(b"D:20210831143005+02'00'")),
    ("ModDate", literal(b"D:20211301")),
]

# Information entries of the source that every encrypted copy is made from: text that
# survives decryption only when the key is right.
SECRET_INFO = [
    ("Title", text("Caf\u00e9 \U0001F600 secret")),
    ("Author", text("Ann & Bob <ab>")),
    ("CreationDate", literal(b"D:20200101120000Z")),
]


def plain_documents() -> dict[str, tuple[bytes, bool]]:
    """File name -> (content, compared with pdftk-java)."""
    docs = {}
    docs["plain.pdf"] = (document(STANDARD_INFO), True)
    docs["escapes.pdf"] = (
        document(
            [
                ("Title", literal(b"Tom & Jerry <b> \"q\" 'a'")),
                ("Subject", literal(b"&#233; is not decoded")),
                ("Author", literal(b"  padded  ")),
            ]
        ),
        True,
    )
    docs["pdfdoc.pdf"] = (
        document(
            [
                ("Title", literal(b"Caf\xe9 \x80 \xa0 \x92 \x93 \x9f \xad")),
                ("Subject", literal(bytes(range(0x7F, 0x100)))),
            ]
        ),
        True,
    )
    docs["utf16.pdf"] = (
        document(
            [
                ("Title", text("\u4e2d\u6587 Caf\u00e9 \u20ac")),
                ("Author", text("\U0001F600 smile")),
                ("Keywords", hexstring(b"\xfe\xff" + "<&>".encode("utf-16-be"))),
                # An unpaired surrogate is dropped; the string still counts as a value.
                ("Subject", hexstring(b"\xfe\xff\xd8\x3d\x00\x41")),
                ("Creator", hexstring(b"\xfe\xff\xd8\x3d")),
            ]
        ),
        True,
    )
    docs["non-string.pdf"] = (
        document(
            [
                ("Title", literal(b"only this and Ref")),
                ("Trapped", Name("True")),
                ("Count", 42),
                ("List", [literal(b"a"), literal(b"b")]),
                ("Flag", True),
                ("Nothing", None),
                ("Dict", {"A": literal(b"x")}),
                ("Empty", literal(b"")),
                ("EmptyUnicode", hexstring(b"\xfe\xff")),
                ("Ref", Ref(1)),
                ("RefNumber", Ref(2)),
                ("Missing", Ref(99)),
                # Not empty until its control characters are dropped.
                ("OnlyControls", literal(b"\x01\x02")),
            ],
            extra_objects=[literal(b"indirect value"), 7],
        ),
        True,
    )
    docs["custom-keys.pdf"] = (
        document(
            [
                ("Title", literal(b"real title")),
                ("TitleX", literal(b"custom")),
                ("With space", literal(b"spaced key")),
                ("Caf\u00e9&<", literal(b"non-ASCII key")),
                ("K" * 300, literal(b"long key")),
            ]
        ),
        True,
    )
    docs["long-values.pdf"] = (
        document(
            [
                ("Title", text("long " * 4000)),
                ("Subject", text("\u00e9" * 5000)),
            ],
            pages=12,
        ),
        True,
    )
    docs["page-tree.pdf"] = (
        document([("Title", literal(b"25 pages"))], pages=25, tree=grouped(25, 4)), True)
    # A page tree whose /Count is wrong: the pages are counted one by one.
    docs["count-too-high.pdf"] = (
        document([("Title", literal(b"3 pages"))], pages=3, root_count=7), True)
    docs["count-zero.pdf"] = (
        document([("Title", literal(b"8 pages"))], pages=8, tree=grouped(8, 3), root_count=0),
        True)
    docs["count-huge.pdf"] = (
        document([("Title", literal(b"2 pages"))], pages=2, root_count=2**40), True)
    # The stream hangs off the information dictionary so that qpdf keeps it when encrypting.
    docs["large.pdf"] = (
        document(STANDARD_INFO + [("Blob", Ref(1))], extra_objects=[LARGE_STREAM]), True)
    docs["no-pages.pdf"] = (document([("Title", literal(b"none"))], pages=0), True)
    docs["no-info.pdf"] = (document(None), True)
    docs["no-id.pdf"] = (document(STANDARD_INFO[:2], file_id=None), True)
    docs["id-odd.pdf"] = (
        document(STANDARD_INFO[:1], file_id=[hexstring(b"\x00\xff\x10"), hexstring(b"")]), True)
    docs["id-one-item.pdf"] = (document(STANDARD_INFO[:1], file_id=[hexstring(b"\xab\xcd")]), True)
    docs["id-not-strings.pdf"] = (document(STANDARD_INFO[:1], file_id=[literal(b"a"), 5]), True)
    docs["id-not-array.pdf"] = (document(STANDARD_INFO[:1], file_id=hexstring(b"\xab\xcd")), True)
    docs["info-direct.pdf"] = (document(STANDARD_INFO, direct_info=True), True)
    # A raw value brings a second /Title into the dictionary.
    docs["duplicate-key.pdf"] = (
        document([("Title", Raw(b"(first) /Title (second)"))]), True)
    # Line breaks and tabs: pdftk-java writes them raw, we write references. Other control
    # characters are dropped by both.
    docs["controls.pdf"] = (
        document(
            [
                ("Title", literal(b"line one\nInfoKey: Fake\r\nInfoValue: forged")),
                ("Subject", literal(b"a\tb")),
                ("Author", literal(b"bell\x07 nul\x00 dle\x10 end")),
                ("Keywords", hexstring(b"\xfe\xff\x00\x01\x00\x7f\x00\x85\x00\x41")),
            ]
        ),
        True,
    )
    # Text we decode where pdftk-java shows the raw bytes or drops them.
    docs["decoding-beyond-pdftk.pdf"] = (
        document(
            [
                ("Title", hexstring(b"\xef\xbb\xbf" + "Caf\u00e9 \U0001F600".encode())),
                ("Author", hexstring(b"\xff\xfe" + "Caf\u00e9".encode("utf-16-le"))),
                ("Subject", literal(bytes(range(0x18, 0x20)))),
                ("Keywords", hexstring(b"\xef\xbb\xbfbad \xc3 \xed\xa0\x80 end")),
            ]
        ),
        False,
    )
    return docs


def damaged_documents(good: bytes) -> dict[str, bytes]:
    xref = good.rindex(b"\nxref") + 1
    startxref = good.rindex(b"startxref")
    return {
        # The cross-reference table and trailer are gone: qpdf rebuilds the table by scanning
        # the objects, and the tool makes a trailer from the catalog and info it finds.
        "truncated.pdf": good[:xref],
        # startxref points into the middle of an object.
        "bad-startxref.pdf": good[: startxref + 10] + b"\n17\n%%EOF\n",
        # Every object moved by two bytes, so all xref offsets are wrong.
        "shifted-objects.pdf": good[:15] + b"  " + good[15:],
        "empty.pdf": b"",
        "header-only.pdf": b"%PDF-1.4\n",
        "not-a-pdf.pdf": b"This is a text file, not a PDF.\n" * 20,
        "garbage.pdf": bytes((i * 73 + 11) % 256 for i in range(4000)),
    }


def xmp_packet(body: str, attributes: str = "", dc: str = "dc", xmp: str = "xmp") -> bytes:
    """An XMP packet with one rdf:Description holding body and attributes. dc and xmp name
    the prefixes of those namespaces, which readers must match by URI."""
    return (
        '<?xpacket begin="\ufeff" id="W5M0MpCehiHzreSzNTczkc9d"?>\n'
        '<x:xmpmeta xmlns:x="adobe:ns:meta/">\n'
        '<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">\n'
        f'<rdf:Description rdf:about="" xmlns:{dc}="http://purl.org/dc/elements/1.1/" '
        f'xmlns:{xmp}="http://ns.adobe.com/xap/1.0/" xmlns:pdf="http://ns.adobe.com/pdf/1.3/" '
        f"{attributes}>\n{body}\n</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n"
        + " " * 100 + '\n<?xpacket end="w"?>'
    ).encode()


def with_metadata(info, packet: bytes, compress: bool = False) -> bytes:
    """A PDF 2.0 document whose catalog's /Metadata stream (object 1) holds the packet."""
    entries = {"Type": Name("Metadata"), "Subtype": Name("XML")}
    body = flate(entries, packet) if compress else Stream(entries, packet)
    return document(info, pages=2, layout=Layout(header_line=b"%PDF-2.0"),
                    catalog_entries={"Metadata": Ref(1)}, extra_objects=[body])


def xmp_documents() -> dict[str, tuple[bytes, bool]]:
    """Documents that keep properties in XMP metadata; pdftk-java shows none of those."""
    docs = {}
    docs["xmp-only.pdf"] = (with_metadata(None, xmp_packet(
        "<dc:title><rdf:Alt><rdf:li xml:lang=\"de-DE\">Jahresbericht</rdf:li>"
        "<rdf:li xml:lang=\"x-default\">Annual report 2017 \u2013 caf\u00e9 \u2615</rdf:li>"
        "</rdf:Alt></dc:title>\n"
        "<dc:creator><rdf:Seq><rdf:li>Ann Example</rdf:li><rdf:li>Bob Beispiel</rdf:li>"
        "</rdf:Seq></dc:creator>\n"
        "<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">Figures &amp; facts &lt;2017&gt;"
        "</rdf:li></rdf:Alt></dc:description>\n"
        "<pdf:Keywords>report, 2017</pdf:Keywords>",
        'xmp:CreatorTool="Writer 9" pdf:Producer="Parvilon XMP maker" '
        'xmp:CreateDate="2017-05-24T10:30:11+05:30" xmp:ModifyDate="2017-05-24T10:30:11.25Z"')),
        True)
    # Other prefixes, a compressed stream, and a dictionary whose values win where they exist.
    docs["xmp-and-info.pdf"] = (with_metadata(
        [("Title", text("Info title")), ("Author", text("Info author")),
         ("Subject", literal(b""))],
        xmp_packet(
            "<d:title><rdf:Alt><rdf:li xml:lang=\"x-default\">XMP title</rdf:li></rdf:Alt>"
            "</d:title>\n<d:creator><rdf:Seq><rdf:li>XMP author</rdf:li></rdf:Seq></d:creator>\n"
            "<d:description><rdf:Alt><rdf:li xml:lang=\"en\">XMP subject</rdf:li></rdf:Alt>"
            "</d:description>\n<pdf:Producer>XMP producer</pdf:Producer>\n"
            "<t:ModifyDate>2020-01-02</t:ModifyDate>\n<t:CreateDate>yesterday</t:CreateDate>",
            dc="d", xmp="t"), compress=True), True)
    docs["xmp-broken.pdf"] = (with_metadata(
        [("Title", text("Only the dictionary"))],
        xmp_packet("<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">unclosed</rdf:Alt>"
                   "</dc:title>")), True)
    # Entity declarations could expand a small packet hugely: the packet is ignored.
    entities = ('<!DOCTYPE x:xmpmeta [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;">]>\n')
    packet = xmp_packet("<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">&b;</rdf:li>"
                        "</rdf:Alt></dc:title>")
    packet = packet.replace(b"<x:xmpmeta", entities.encode() + b"<x:xmpmeta", 1)
    docs["xmp-entities.pdf"] = (with_metadata(None, packet), True)
    return docs


def encrypt_dictionary(string_filter: str) -> dict:
    """AES-256 encryption with made-up keys (no password opens it), whose strings and
    streams use string_filter and whose embedded files use the standard filter."""
    return {
        "Filter": Name("Standard"), "V": 5, "R": 6, "Length": 256, "P": -1028,
        "EncryptMetadata": False,
        "CF": {"StdCF": {"AuthEvent": Name("EFOpen"), "CFM": Name("AESV3"), "Length": 32}},
        "EFF": Name("StdCF"), "StmF": Name(string_filter), "StrF": Name(string_filter),
        "O": hexstring(bytes(range(48))), "U": hexstring(bytes(range(1, 49))),
        "OE": hexstring(bytes(32)), "UE": hexstring(bytes(32)), "Perms": hexstring(bytes(16)),
    }


def repairable_documents() -> dict[str, tuple[bytes, bool]]:
    """Damage qpdf 11.3 cannot open by itself, each kind once; the tool repairs a copy."""
    docs = {}
    good = document(STANDARD_INFO, pages=2)
    xref = good.rindex(b"\nxref\n") + 1
    # No cross-reference table, trailer or startxref: the trailer is made from the objects.
    docs["objects-only.pdf"] = (good[:xref], True)
    # The same beyond the size read in one go: the repair reads the whole file itself.
    large = document(STANDARD_INFO + [("Blob", Ref(1))], extra_objects=[LARGE_STREAM])
    docs["large-objects-only.pdf"] = (large[: large.rindex(b"\nxref\n") + 1], True)
    docs["encrypt-not-dictionary.pdf"] = (
        document(STANDARD_INFO[:1], trailer_entries={"Encrypt": 5}), True)
    docs["encrypt-identity.pdf"] = (
        document(STANDARD_INFO[:1], pages=2, trailer_entries={"Encrypt": Ref(1)},
                 extra_objects=[encrypt_dictionary("Identity")]), True)
    docs["encrypt-standard-filter.pdf"] = (
        document(STANDARD_INFO[:1], pages=2, trailer_entries={"Encrypt": Ref(1)},
                 extra_objects=[encrypt_dictionary("StdCF")]), True)
    # An object number beyond int, while the table is rebuilt (startxref points nowhere).
    docs["huge-object-number.pdf"] = (
        good[:xref] + b"3000000000 0 obj\n(junk)\nendobj\n" + good[xref:], True)
    docs["huge-startxref.pdf"] = (
        good[: good.rindex(b"startxref")] + b"startxref\n99999999999999999999\n%%EOF\n", True)
    # A page tree that names itself among its kids, and a kid that is no dictionary. The
    # root node's entry grows, so the offsets of the objects after it go wrong too.
    loop = document(STANDARD_INFO[:1], pages=3, root_count=0)
    root = int(re.search(rb"/Pages (\d+) 0 R", loop).group(1))
    docs["page-tree-loop.pdf"] = (
        loop.replace(b"/Kids [", b"/Kids [%d 0 R 99 0 R (junk) " % root, 1), True)
    # A page tree without kids beside two page objects: the page objects are counted, where
    # pdftk-java reports 0 pages (a deliberate difference, so not compared). Blanks keep
    # the kids' place, so every offset stays right.
    orphans = document(STANDARD_INFO[:1], pages=2)
    kids = re.search(rb"/Kids \[[^\]]*\] /Count 2", orphans).group(0)
    emptied = b"/Kids [" + b" " * (len(kids) - len(b"/Kids [] /Count 0")) + b"] /Count 0"
    docs["pages-outside-tree.pdf"] = (orphans.replace(kids, emptied, 1), False)
    return docs


def strings_plain_documents() -> dict[str, tuple[bytes, bool]]:
    """Streams encrypted, strings left plain (/StrF /Identity), with a user password: what
    needs no stream decryption is read without it. The XMP metadata, a stream, holds a
    Subject only the password reveals. Fonts alone in an object stream keep the objects read
    outside it; with every object packed, the page tree and the information dictionary are
    in the encrypted object stream too. pdftk-java decrypts the plain strings all the same and
    shows noise: not compared."""
    security = Rc4CryptFilter("user", "owner", bytes.fromhex("0123456789abcdef0123456789abcdef"))
    metadata = Stream({"Type": Name("Metadata"), "Subtype": Name("XML")}, xmp_packet(
        '<dc:description><rdf:Alt><rdf:li xml:lang="x-default">Hidden subject</rdf:li>'
        "</rdf:Alt></dc:description>"))
    docs = {}
    for file_name, packed in (("strings-plain.pdf", False),
                              ("strings-plain-fonts-packed.pdf",
                               lambda value: value.get("Type") == Name("Font")),
                              ("strings-plain-object-stream.pdf", True)):
        docs[file_name] = (document(
            SECRET_INFO, pages=3, extra_objects=[security.dictionary("Identity"), metadata],
            trailer_entries={"Encrypt": Ref(1)}, catalog_entries={"Metadata": Ref(2)},
            cipher=security.encrypt, object_stream=packed), False)
    return docs


JS_ACTION = {"S": Name("JavaScript"), "JS": literal(b"app.alert('audit')")}
PDFA_NAMESPACE = 'xmlns:pdfaid="http://www.aiim.org/pdfa/ns/id/"'


def annotation(subtype: str, **entries) -> dict:
    return {"Type": Name("Annot"), "Subtype": Name(subtype), "Rect": [0, 0, 10, 10], **entries}


def audit_documents() -> dict[str, bytes]:
    """One document per property the audit reads, each with the objects it needs numbered
    first (extra_objects 1, 2, ...)."""
    docs = {}

    def add(name: str, pages: int = 1, **options):
        docs[name] = document(STANDARD_INFO[:1], pages=pages, **options)

    def metadata(body: str = "", attributes: str = "") -> Stream:
        return Stream({"Type": Name("Metadata"), "Subtype": Name("XML")},
                      xmp_packet(body, f"{PDFA_NAMESPACE} {attributes}"))

    add("audit-tagged.pdf", extra_objects=[metadata(attributes='pdfaid:part="2" '
                                                               'pdfaid:conformance="B"')],
        catalog_entries={"Metadata": Ref(1), "MarkInfo": {"Marked": True},
                         "Lang": literal(b"en-GB")})
    add("audit-pdfa-element.pdf", extra_objects=[metadata(
            "<pdfaid:part>1</pdfaid:part>\n<pdfaid:conformance>a</pdfaid:conformance>")],
        catalog_entries={"Metadata": Ref(1), "MarkInfo": {"Marked": False},
                         "Lang": text("fr-CA \u00e9 <&>")})
    # Signature fields: one with its widget merged, two kids of a /Sig parent, one with two
    # widgets (kids without /T); a text field beside them.
    sig = {"FT": Name("Sig")}
    add("audit-form.pdf", extra_objects=[
            {"FT": Name("Tx"), "T": literal(b"name")},
            annotation("Widget", T=literal(b"signed"), **sig),
            {"T": literal(b"group"), "Kids": [Ref(4), Ref(5)], **sig},
            {"T": literal(b"first"), "Parent": Ref(3)},
            {"T": literal(b"second"), "Parent": Ref(3)},
            {"T": literal(b"shown twice"), "Kids": [Ref(7), Ref(8)], **sig},
            annotation("Widget", Parent=Ref(6)), annotation("Widget", Parent=Ref(6))],
        catalog_entries={"AcroForm": {"Fields": [Ref(1), Ref(2), Ref(3), Ref(6)]}})
    add("audit-form-empty.pdf", catalog_entries={"AcroForm": {}})
    add("audit-xfa.pdf", extra_objects=[Stream({}, b"<xdp:xdp/>")],
        catalog_entries={"AcroForm": {"Fields": [], "XFA": [literal(b"template"), Ref(1)]}})

    # JavaScript, in each place it is looked for.
    add("audit-js-names.pdf", extra_objects=[{"Kids": [Ref(2)]},
                                             {"Names": [literal(b"start"), Ref(3)]}, JS_ACTION],
        catalog_entries={"Names": {"JavaScript": Ref(1)}})
    add("audit-js-open-action-next.pdf", extra_objects=[
            {"S": Name("GoTo"), "D": [0, Name("Fit")], "Next": [Ref(2)]}, JS_ACTION],
        catalog_entries={"OpenAction": Ref(1)})
    add("audit-js-document-aa.pdf", extra_objects=[JS_ACTION],
        catalog_entries={"AA": {"WC": Ref(1)}})
    add("audit-js-page-aa.pdf", extra_objects=[JS_ACTION], page_entries=[{"AA": {"O": Ref(1)}}])
    add("audit-js-link.pdf", extra_objects=[annotation("Link", A=Ref(2)), JS_ACTION],
        page_entries=[{"Annots": [Ref(1)]}])
    add("audit-js-widget.pdf", extra_objects=[annotation("Widget", AA={"Fo": Ref(2)}),
                                              JS_ACTION],
        page_entries=[{"Annots": [Ref(1)]}])
    add("audit-js-field.pdf", extra_objects=[{"FT": Name("Tx"), "T": literal(b"total"),
                                              "AA": {"C": Ref(2)}}, JS_ACTION],
        catalog_entries={"AcroForm": {"Fields": [Ref(1)]}})
    add("audit-js-rendition.pdf", extra_objects=[
            {"S": Name("Rendition"), "OP": 0, "JS": Ref(2)}, Stream({}, b"play();")],
        page_entries=[{"AA": {"O": Ref(1)}}])
    # Scripts viewers do not run, or that pdfinfo does not look for: on a later page, in a
    # link's additional actions, an action without its script.
    add("audit-no-js.pdf", pages=2, extra_objects=[
            annotation("Link", A=Ref(3)), annotation("Link", AA={"E": Ref(3)}), JS_ACTION],
        page_entries=[{"Annots": [Ref(2)]}, {"Annots": [Ref(1)]}],
        catalog_entries={"OpenAction": {"S": Name("JavaScript")}})

    # Three embedded files in a name tree of two nodes; the file attachment annotation on the
    # page is not counted.
    attached = {"F": literal(b"a.txt"), "EF": {"F": Ref(4)}}
    add("audit-attachments.pdf", extra_objects=[
            {"Kids": [Ref(2), Ref(3)]},
            {"Names": [literal(b"a.txt"), Ref(5)]},
            {"Names": [literal(b"b.txt"), Ref(5), literal(b"c.txt"), Ref(5)]},
            Stream({"Type": Name("EmbeddedFile")}, b"attached"), attached,
            annotation("FileAttachment", FS=Ref(5))],
        page_entries=[{"Annots": [Ref(6)]}],
        catalog_entries={"Names": {"EmbeddedFiles": Ref(1)}})
    # A name tree and a field tree that name their own ancestors.
    add("audit-loops.pdf", extra_objects=[
            {"Kids": [Ref(2)]}, {"Kids": [Ref(1)], "Names": [literal(b"x"), Ref(5)]},
            {"T": literal(b"a"), "Kids": [Ref(4)], **sig}, {"T": literal(b"b"), "Kids": [Ref(3)]},
            attached, Stream({"Type": Name("EmbeddedFile")}, b"attached")],
        catalog_entries={"Names": {"EmbeddedFiles": Ref(1)},
                         "AcroForm": {"Fields": [Ref(3)]}})

    # Page sizes: a first page turned a quarter, as wide as the second, whose size differs
    # only past the digits a size is written with; a crop box cut down to its media box; pages
    # of a tree that pass their media box down, one turned.
    a4 = [0, 0, 595.276, 841.89]
    add("audit-rotated.pdf", pages=2,
        page_entries=[{"Rotate": 90, "MediaBox": a4},
                      {"MediaBox": [0, 0, 841.8901, 595.2759]}])
    add("audit-sizes-vary.pdf", pages=3, tree=[[0, 1], [2]],
        page_entries=[{"CropBox": [10, 20, 700, 500]}, {}, {"Rotate": -90}])
    return docs


# name -> (qpdf --encrypt arguments after the passwords, user, owner)
ENCRYPTIONS = {
    "enc-rc4-40.pdf": (["40"], "user40", "owner40"),
    "enc-rc4-128.pdf": (["128", "--use-aes=n"], "user128", "owner128"),
    "enc-aes-128.pdf": (["128", "--use-aes=y"], "useraes", "owneraes"),
    "enc-aes-256-r5.pdf": (["256", "--force-R5"], "userr5", "ownerr5"),
    "enc-aes-256-r6.pdf": (["256"], "userr6", "ownerr6"),
    "enc-aes-256-nonascii.pdf": (["256"], "\u00e2ge", "h\u00f4tel"),
    "enc-rc4-128-nonascii.pdf": (["128", "--use-aes=n"], "\u00e2ge", "h\u00f4tel"),
    "enc-aes-256-long.pdf": (["256"], LONG_PASSWORD, "owner"),
    "enc-aes-256-owner-only.pdf": (["256"], "", "owneronly"),
    "enc-rc4-128-v4.pdf": (["128", "--use-aes=n", "--force-V4"], "userv4", "ownerv4"),
}


def incremental_update(base: bytes) -> bytes:
    """base with an update appended that writes its information dictionary anew: the newer
    section's object must win over the older one."""
    trailer = base[base.rindex(b"trailer"):]
    size, root, info = (int(re.search(rb"/%s (\d+)" % key, trailer).group(1))
                        for key in (b"Size", b"Root", b"Info"))
    updated = {"Title": literal(b"Updated title"), "Author": literal(b"Ann Example")}
    return append_update(base, [(info, updated)],
                         {"Size": size, "Root": Ref(root), "Info": Ref(info), "ID": ID})


def encrypt(qpdf: str, source: str, target: str, user: str, owner: str, args: list[str],
            options: tuple[str, ...] = ()):
    command = [qpdf, "--allow-weak-crypto", *options, "--encrypt", user, owner, *args, "--",
               source, target]
    subprocess.run(command, check=True)


def update_with_pdftk(pdftk: str, source: str, target: str, folder: str) -> bool:
    data = os.path.join(folder, "pdftk-info.txt")
    with open(data, "w", encoding="utf-8") as out:
        out.write(
            "InfoBegin\nInfoKey: Title\nInfoValue: Gr\u00fc\u00dfe aus K\u00f6ln \U0001F600\n"
            "InfoBegin\nInfoKey: Author\nInfoValue: \u4e2d\u6587 &amp; more\n"
            "InfoBegin\nInfoKey: Custom\nInfoValue: plain ASCII\n"
        )
    done = subprocess.run([pdftk, source, "update_info_utf8", data, "output", target],
                          capture_output=True, env=dict(os.environ, LC_ALL="C.UTF-8"))
    os.remove(data)
    return done.returncode == 0 and os.path.exists(target)


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    manifest = []

    def record(file_name: str, compare: bool, user=None, owner=None):
        manifest.append({"file": file_name, "compare": compare, "user": user, "owner": owner})

    docs = plain_documents()
    docs["incremental-update.pdf"] = (incremental_update(docs["plain.pdf"][0]), True)
    for file_name, (content, compare) in docs.items():
        with open(os.path.join(folder, file_name), "wb") as out:
            out.write(content)
        record(file_name, compare)

    for file_name, (content, compare) in {**xmp_documents(), **repairable_documents()}.items():
        with open(os.path.join(folder, file_name), "wb") as out:
            out.write(content)
        record(file_name, compare)
    for file_name, content in audit_documents().items():
        with open(os.path.join(folder, file_name), "wb") as out:
            out.write(content)
        record(file_name, True)
    for file_name, (content, compare) in strings_plain_documents().items():
        with open(os.path.join(folder, file_name), "wb") as out:
            out.write(content)
        record(file_name, compare, "user", "owner")

    for file_name, content in damaged_documents(docs["plain.pdf"][0]).items():
        with open(os.path.join(folder, file_name), "wb") as out:
            out.write(content)
        record(file_name, True)

    qpdf = shutil.which("qpdf")
    if qpdf is None:
        print("qpdf is missing: no encrypted test PDFs", file=sys.stderr)
        return 1
    source = os.path.join(folder, "secret-source.pdf")
    with open(source, "wb") as out:
        out.write(document(SECRET_INFO, pages=3))
    record("secret-source.pdf", True)
    for file_name, (args, user, owner) in ENCRYPTIONS.items():
        encrypt(qpdf, source, os.path.join(folder, file_name), user, owner, args)
        record(file_name, True, user or None, owner)
    # Object streams and cross-reference streams (with a PNG predictor), as most writers
    # write today: a nested page tree, and the catalog of a document with XMP metadata.
    for file_name, source in (("object-streams.pdf", "page-tree.pdf"),
                              ("object-streams-xmp.pdf", "xmp-and-info.pdf")):
        subprocess.run([qpdf, "--object-streams=generate", "--deterministic-id",
                        os.path.join(folder, source), os.path.join(folder, file_name)],
                       check=True)
        record(file_name, True)
    subprocess.run([qpdf, "--linearize", os.path.join(folder, "plain.pdf"),
                    os.path.join(folder, "linearized.pdf")], check=True)
    record("linearized.pdf", True)
    # A large file whose password is tried in a second form after the first fails.
    encrypt(qpdf, os.path.join(folder, "large.pdf"), os.path.join(folder, "enc-large.pdf"),
            "\u00e2ge", "h\u00f4tel", ["128", "--use-aes=n"], ("--compress-streams=n",))
    record("enc-large.pdf", True, "\u00e2ge", "h\u00f4tel")

    # Debian's name for pdftk-java, so that no other pdftk on PATH is taken for it.
    pdftk = shutil.which("pdftk.pdftk-java")
    if pdftk is not None and update_with_pdftk(pdftk, os.path.join(folder, "plain.pdf"),
                                               os.path.join(folder, "pdftk-updated.pdf"), folder):
        record("pdftk-updated.pdf", True)
    else:
        print("pdftk-java is missing: no PDF written by it", file=sys.stderr)

    with open(os.path.join(folder, "manifest.json"), "w", encoding="utf-8") as out:
        json.dump(manifest, out, indent=1, ensure_ascii=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
