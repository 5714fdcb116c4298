"""The PDF files our tests read, each made for one behaviour of the program or of the
tool. Values are chosen so that a value written into the wrong column, a swapped date, a
lost character or a cut value shows."""

import page_content
import pdf_text
from pdf_cases import BrokenCase, Encryption, PdfCase, file_id
from pdf_document import Document, InfoName, InfoNumber, InfoText, build
from pdf_writer import Layout

CREATED = "D:20210712083015+02'00'"
MODIFIED = "D:20210831143005+02'00'"


def _document(name, info, pages=1, **options):
    contents = [page_content.test_page(name, page, pages) for page in range(1, pages + 1)]
    return Document(pages=contents, info=info, file_id=file_id(name), **options)


def _case(name, purpose, info, pages=1, encryption=None, **options):
    return PdfCase(name, purpose, _document(name, info, pages, **options), encryption)


def _dates(name, purpose, modified, created):
    return _case(name, purpose, {"Title": name, "ModDate": modified, "CreationDate": created})


def _plain():
    return [
        _case("plain-all-fields.pdf", "every standard entry, plain ASCII", {
            "Title": "Quarterly Figures", "Author": "Mira Castell", "Subject": "Sales by region",
            "Keywords": "sales, regions, quarterly", "Creator": "Test Writer 1.0",
            "Producer": "Test Producer 2.5", "CreationDate": CREATED, "ModDate": MODIFIED}),
        _case("plain-title-only.pdf", "a Title and nothing else", {"Title": "Only a title"}),
    ]


def _text():
    return [
        _case("text-latin1-pdfdoc.pdf", "Latin-1 accents written in PDFDocEncoding", {
            "Title": "Café crème à la carte", "Author": "Zoë Brontë-Núñez",
            "Subject": "Größe, Ærø and façade", "Keywords": "élan, naïve, señor, smørbrød"}),
        _case("text-pdfdoc-typography.pdf",
              "PDFDocEncoding signs whose bytes differ from Latin-1 (euro, dashes, quotes)", {
                  "Title": "Price € 20 – “final” offer…", "Author": "Łukasz Žak",
                  "Subject": "Bullet • dagger † trademark ™", "Keywords": "ﬁsh, ﬂour, Œuvre"}),
        _case("text-utf16-cjk-emoji.pdf", "CJK, Hangul, Greek and emoji as UTF-16BE with BOM", {
            "Title": "中文文档标题", "Author": "山田 太郎", "Subject": "한국어 요약",
            "Keywords": "Release party 🎉 launch 🚀", "Creator": "Ελληνικά"}),
        _case("text-utf16-literal.pdf",
              "UTF-16BE in literal strings, with parentheses and a backslash to escape", {
                  "Title": InfoText("Café (draft) \\ notes", pdf_text.UTF16BE, hex=False),
                  "Author": InfoText("Ōsaka office", pdf_text.UTF16BE, hex=False)}),
        _case("text-utf8-bom.pdf",
              "UTF-8 with BOM; older readers show its bytes as PDFDocEncoding", {
                  "Title": InfoText("Café Köln · Zürich", pdf_text.UTF8_BOM),
                  "Author": "Plain author"}),
    ]


def _long():
    title = "Long title " + " ".join(f"part{n:03d}" for n in range(400)) + " end of title"
    subject = "Long subject: " + "The quick brown fox jumps over the lazy dog. " * 100 + "Fin."
    keywords = ", ".join(f"keyword{n:04d}" for n in range(800))
    return [_case("long-values.pdf", "values of several kilobytes, each with a marked end", {
        "Title": title, "Subject": subject, "Keywords": keywords, "Author": "Short author"})]


def _pages():
    return [
        _case("pages-1.pdf", "one page", {"Title": "One page"}),
        _case("pages-3.pdf", "three pages", {"Title": "Three pages"}, pages=3),
        _case("pages-12.pdf", "twelve pages", {"Title": "Twelve pages"}, pages=12),
        _case("pages-nested-tree.pdf",
              "eight pages in a page tree four levels deep, size and fonts inherited",
              {"Title": "Nested page tree"}, pages=8, tree=[0, [1, [2, 3]], [[4, 5, 6]], 7]),
    ]


def _keys():
    return [
        _case("keys-title-and-titlex.pdf",
              "custom key TitleX beside Title (pdftk-java lists TitleX before Title)",
              {"Title": "Real title", "TitleX": "Custom TitleX value", "Author": "A. Author"}),
        _case("keys-title-and-titleshort.pdf",
              "custom key TitleShort beside Title (pdftk-java lists TitleShort after Title)",
              {"Title": "Real title", "TitleShort": "Custom TitleShort value",
               "Author": "A. Author", "Producer": "Test Producer"}),
        _case("keys-creator-and-creationdate.pdf", "Creator and CreationDate both present", {
            "Creator": "Creator value", "CreationDate": CREATED, "Producer": "Producer value"}),
        _case("keys-custom.pdf", "custom keys only, among them a lower-case title", {
            "title": "lower-case key, not the Title", "Company": "Northwind Testing",
            "SourceModified": "D:20200101000000", "Producer": "Producer value"}),
    ]


def _odd_dates():
    return [
        _dates("dates-month-13.pdf", "month 13: January of the year after",
               "D:20211301", "D:20201315093000"),
        _dates("dates-day-0.pdf", "day 0: the last day of the month before",
               "D:20210800", "D:20210300120000"),
        _dates("dates-day-overflow.pdf", "day beyond the month's end (February 31 and 30)",
               "D:20210231", "D:20200230101010"),
        _dates("dates-no-time.pdf", "date without a time", "D:20210831", "D:20200101"),
        _dates("dates-timezone.pdf", "time with a zone offset",
               "D:20210831143005+02'00'", "D:20210831143005-05'30'"),
        _dates("dates-utc-z.pdf", "time in UTC, Z and Z00'00'",
               "D:20210831143005Z", "D:20201231235959Z00'00'"),
        _dates("dates-time-carry.pdf", "second 60 and hour 24",
               "D:20211231235960", "D:20210101240000"),
        _dates("dates-garbage.pdf", "text that is no date at all",
               "yesterday afternoon", "D:2021AB31xx"),
        _dates("dates-too-short.pdf", "dates cut short", "D:2021", "D:"),
        _dates("dates-without-prefix.pdf", "dates without D:, one in ISO form",
               "20210831143005", "2021-08-31T14:30:05"),
    ]


def _characters():
    return [
        _case("markup-characters.pdf", "& < > \" ' in values, and text that looks escaped", {
            "Title": "Fish & Chips <Menu> \"Special\" 'Today'",
            "Author": "O'Brien & \"Sons\"",
            "Subject": "Already escaped: &amp; &lt; &#233; &quot;",
            "Keywords": "<tag> & \"x\""}),
        _case("whitespace-in-values.pdf",
              "literal tab, line feed and CR LF inside values; outer and doubled spaces", {
                  "Title": "Column A\tColumn B", "Subject": "First line\nSecond line",
                  "Creator": "Made by\r\nhand", "Keywords": "  padded on both sides  ",
                  "Author": "Two  inner  spaces"}),
    ]


def _info():
    return [
        _case("info-empty-values.pdf", "empty strings; pdftk-java leaves them out", {
            "Title": "", "Author": "", "Subject": "", "Keywords": "",
            "Producer": "Producer present"}),
        _case("info-non-string-values.pdf", "a number and names where text belongs", {
            "Title": InfoNumber(42), "Author": InfoName("Anonymous"),
            "Subject": InfoNumber(3.5), "Trapped": InfoName("True"),
            "Producer": "Producer is a string"}),
        _case("info-missing.pdf", "no Info dictionary at all", None, pages=2),
        _case("info-indirect-values.pdf", "every value an indirect object", {
            "Title": "Indirect title", "Author": "Indirect author",
            "ModDate": MODIFIED}, indirect_info_values=True),
    ]


def _encrypted():
    def case(name, purpose, method, user, owner):
        return _case(name, purpose, {"Title": f"Encrypted {method}", "Author": "Keyholder",
                                     "Producer": "Test Producer"},
                     pages=2, encryption=Encryption(method, user, owner))
    return [
        case("encrypted-rc4-40.pdf", "RC4 40-bit", "RC4-40", "user40", "owner40"),
        case("encrypted-rc4-128.pdf", "RC4 128-bit", "RC4-128", "user128", "owner128"),
        case("encrypted-aes-128.pdf", "AES 128-bit", "AES-128", "useraes", "owneraes"),
        case("encrypted-aes-256.pdf",
             "AES 256-bit (revision 6); pdftk-java 3.3 cannot open it",
             "AES-256", "user256", "owner256"),
        case("encrypted-empty-user-password.pdf", "opens without a password; owner set",
             "AES-128", "", "owneronly"),
        case("encrypted-password-quotes.pdf", "passwords with quotes, spaces and &",
             "AES-128", "it's \"quoted\" & spaced", "owner \"q\" 's"),
    ]


def _headers():
    def case(name, purpose, header, eol=b"\n", leading=b""):
        layout = Layout(header_line=header, eol=eol, leading_bytes=leading)
        return _case(name, purpose, {"Title": name}, layout=layout)
    junk = b"Received from scanner SB-220\r\n\x00\x00\x00 job 17\n"
    return [
        case("header-1.4-lf.pdf", "%PDF-1.4 and LF line endings", b"%PDF-1.4"),
        case("header-1.7-crlf.pdf", "%PDF-1.7 and CR LF line endings", b"%PDF-1.7", b"\r\n"),
        case("header-1.5-cr.pdf", "%PDF-1.5 and lone CR line endings", b"%PDF-1.5", b"\r"),
        case("header-2.0.pdf", "%PDF-2.0", b"%PDF-2.0"),
        case("header-with-comment.pdf", "a comment after the version on the header line",
             b"%PDF-1.6 % written for the tests"),
        case("header-with-binary-comment.pdf", "bytes above 127 after the version on the header line",
             b"%PDF-1.3 %\xe2\xe3\xcf\xd3"),
        case("header-after-junk.pdf", "junk with NULs and a line break before %PDF-",
             b"%PDF-1.4", leading=junk),
    ]


def _broken():
    whole = build(_document("broken-truncated.pdf", {"Title": "Cut in half"}, pages=4))
    return [
        BrokenCase("broken-empty.pdf", "empty file, 0 bytes", b""),
        BrokenCase("broken-one-line.pdf", "a header line and no line break at all",
                   b"%PDF-1.4 a header with nothing after it"),
        BrokenCase("broken-not-a-pdf.pdf", "a text file named .pdf",
                   b"This is a plain text file.\nIt only carries the name of a PDF.\n"),
        BrokenCase("broken-truncated.pdf",
                   "a PDF cut in the middle: no catalog, cross-reference table or trailer",
                   whole[:len(whole) // 2]),
    ]


def _names():
    name = "Zoë \"quoted\" 's report.pdf"
    return [_case(name, "a valid PDF whose name has spaces, quotes and a non-ASCII letter",
                  {"Title": "Report with an awkward file name", "Author": "Zoë"})]


def all_cases():
    return (_plain() + _text() + _long() + _pages() + _keys() + _odd_dates() + _characters()
            + _info() + _encrypted() + _headers() + _broken() + _names())
