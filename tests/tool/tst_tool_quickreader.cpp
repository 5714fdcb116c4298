// The quick reader: the files it must read without qpdf, reading them as qpdf does; the files
// it must leave to qpdf; the syntax and cross-reference rules it copies from qpdf 11.

#include "tool/BlockCacheSource.h"
#include "tool/CrossReference.h"
#include "tool/DumpFormat.h"
#include "tool/FileSnapshot.h"
#include "tool/FlateDecoding.h"
#include "tool/PdfReading.h"
#include "tool/PdfSyntax.h"
#include "tool/QuickReader.h"

#include <QFile>
#include <QTest>

#include <map>
#include <zlib.h>

using namespace pdfinfodump;

namespace {

QString madePdf(const QString& name) {
    return qEnvironmentVariable("PARVILON_TOOL_PDFS") + QLatin1Char('/') + name;
}

std::string fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

QByteArray dumpOf(const DocumentFacts& facts) {
    return QByteArray::fromStdString(formatDump(facts, TextStyle::Utf8));
}

// The value of one direct object as the parser reads it: a string's or name's bytes, a
// number's text; "give way" when it leaves the object to qpdf.
QByteArray parsed(const QByteArray& text) {
    try {
        PdfParser parser(std::string_view(text.constData(), static_cast<size_t>(text.size())),
                         true);
        const PdfObject object = parser.readObject();
        switch (object.kind) {
        case PdfObject::Kind::Integer:
            return QByteArray::number(static_cast<qlonglong>(object.number));
        case PdfObject::Kind::Null:
            return "null";
        default:
            return QByteArray::fromStdString(object.bytes);
        }
    } catch (const GiveWayToQpdf&) {
        return "give way";
    }
}

} // namespace

class ToolQuickReaderTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(QFile::exists(madePdf("manifest.json")),
                 "run the tool_make_test_pdfs test first (PARVILON_TOOL_PDFS)");
    }

    // Well-formed files are read without qpdf, in memory and through tiny blocks, and give
    // what qpdf gives.
    void readsAsQpdfDoes_data() {
        QTest::addColumn<QString>("file");
        for (const char* file :
             {"plain.pdf", "utf16.pdf", "non-string.pdf", "info-direct.pdf", "no-info.pdf",
              "no-id.pdf", "id-not-strings.pdf", "duplicate-key.pdf", "page-tree.pdf", "large.pdf",
              "xmp-only.pdf", "xmp-and-info.pdf", "xmp-broken.pdf", "incremental-update.pdf",
              "object-streams.pdf", "object-streams-xmp.pdf"}) {
            QTest::newRow(file) << QString(file);
        }
    }
    void readsAsQpdfDoes() {
        QFETCH(QString, file);
        const std::string bytes = fileBytes(madePdf(file));
        QVERIFY(!bytes.empty());
        FileReading qpdfOnly;
        qpdfOnly.quickReader = false;
        const ReadResult byQpdf = readPdfBuffer(bytes, std::nullopt, qpdfOnly);
        QVERIFY2(byQpdf.ok, byQpdf.error.c_str());

        const std::optional<QuickRead> quick = readQuickly(bytes);
        QVERIFY(quick);
        QCOMPARE(dumpOf(quick->facts), dumpOf(byQpdf.facts));
        QCOMPARE(quick->warnings, byQpdf.warnings);

        std::string error;
        const auto snapshot = FileSnapshot::open(madePdf(file).toStdString(), error);
        QVERIFY2(snapshot, error.c_str());
        BlockCacheSource blocks(*snapshot, 61, 3);
        const std::optional<QuickRead> fromBlocks = readQuickly(blocks, snapshot->size());
        QVERIFY(fromBlocks);
        QCOMPARE(dumpOf(fromBlocks->facts), dumpOf(byQpdf.facts));
    }

    // Files qpdf reads with a warning, a repair or a password are left to it.
    void leavesToQpdf_data() {
        QTest::addColumn<QString>("file");
        for (const char* file :
             {"enc-aes-128.pdf", "encrypt-identity.pdf", "truncated.pdf", "bad-startxref.pdf",
              "shifted-objects.pdf", "count-too-high.pdf", "count-zero.pdf", "page-tree-loop.pdf",
              "huge-object-number.pdf", "objects-only.pdf", "empty.pdf", "garbage.pdf"}) {
            QTest::newRow(file) << QString(file);
        }
    }
    void leavesToQpdf() {
        QFETCH(QString, file);
        QVERIFY(QFile::exists(madePdf(file)));
        QVERIFY(!readQuickly(fileBytes(madePdf(file))));
    }

    // Streams inflate whole however far they grow past the first guess of their size, up to
    // the limit and not a byte beyond; a stream cut short or damaged gives nothing, and bytes
    // after its end are ignored.
    void inflatesUpToTheLimit() {
        const std::string data(1 << 20, 'x'); // a thousandfold smaller once deflated
        uLongf size = compressBound(data.size());
        std::string deflated(size, '\0');
        QCOMPARE(compress(reinterpret_cast<Bytef*>(deflated.data()), &size,
                          reinterpret_cast<const Bytef*>(data.data()), data.size()),
                 Z_OK);
        deflated.resize(size);
        QVERIFY(inflated(deflated, data.size()) == data);
        QVERIFY(inflated(deflated + "trailing bytes", data.size() + 1) == data);
        QVERIFY(!inflated(deflated, data.size() - 1));
        QVERIFY(!inflated(deflated.substr(0, deflated.size() - 5), data.size()));
        std::string damaged = deflated;
        damaged.back() = static_cast<char>(damaged.back() ^ 0x55); // its checksum
        QVERIFY(!inflated(damaged, data.size()));
    }

    // A cross-reference offset that points at white space before "xref": qpdf skips it with
    // a warning (and a fuzzed file whose table it then read otherwise counted its pages
    // otherwise), so the file is left to it, and both ways of reading agree.
    void whiteSpaceBeforeTheTableIsLeftToQpdf() {
        std::string bytes = fileBytes(madePdf("plain.pdf"));
        const std::size_t digits = bytes.find_first_of("0123456789", bytes.rfind("startxref"));
        const std::size_t end = bytes.find_first_not_of("0123456789", digits);
        const auto offset =
            static_cast<std::size_t>(std::stoll(bytes.substr(digits, end - digits)));
        QVERIFY(bytes.compare(offset, 4, "xref") == 0 && bytes[offset - 1] == '\n');
        bytes.replace(digits, end - digits, std::to_string(offset - 1));
        QVERIFY(!readQuickly(bytes));
        FileReading qpdfOnly;
        qpdfOnly.quickReader = false;
        const ReadResult byQpdf = readPdfBuffer(bytes, std::nullopt, qpdfOnly);
        const ReadResult read = readPdfBuffer(bytes, std::nullopt);
        QVERIFY(read.ok);
        QCOMPARE(dumpOf(read.facts), dumpOf(byQpdf.facts));
        QCOMPARE(read.warnings, byQpdf.warnings);
    }

    // Tokens as qpdf 11's tokenizer reads them (each checked against qpdf), and what it reads
    // only with a warning.
    void syntax_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("octal escapes") << QByteArray("(a\\101b\\0612)") << QByteArray("aAb12");
        QTest::newRow("octal beyond a byte") << QByteArray("(\\777x)") << QByteArray("\xffx");
        QTest::newRow("escaped line ends") << QByteArray("(a\\\nb\\\r\nc)") << QByteArray("abc");
        QTest::newRow("CR and CR LF read as LF")
            << QByteArray("(a\rb\r\nc\n\rd)") << QByteArray("a\nb\nc\n\nd");
        QTest::newRow("other escapes")
            << QByteArray("(\\q\\n\\(\\r\\t\\b\\f)") << QByteArray("q\n(\r\t\b\f");
        QTest::newRow("balanced parentheses")
            << QByteArray("((nested) ok)") << QByteArray("(nested) ok");
        QTest::newRow("hex, odd digit count")
            << QByteArray("<48 65 6c6C 6f 7>") << QByteArray("Hellop");
        QTest::newRow("name escapes") << QByteArray("/A#20B#41") << QByteArray("A BA");
        QTest::newRow("signed integer") << QByteArray("+5") << QByteArray("5");
        QTest::newRow("real") << QByteArray("-.5") << QByteArray("-.5");
        QTest::newRow("reference at the top is a number") << QByteArray("5 0 R") << QByteArray("5");
        for (const char* warned : {"/A#2", "/A#00", "<4g>", "(open", "{}", "[1 R]", "<< /A >>",
                                   "99999999999999999999", "[/A", "endobj"}) {
            QTest::newRow(warned) << QByteArray(warned) << QByteArray("give way");
        }
    }
    void syntax() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, value);
        QCOMPARE(parsed(text), value);
    }

    // A dictionary read for some of its keys holds only those; what it reads past must be as
    // well-formed as what it keeps.
    void keepsOnlyTheKeysAsked() {
        const std::vector<std::string_view> keep = {"Kids", "Count"};
        const auto read = [&](std::string_view text) {
            PdfParser parser(text, true);
            return parser.readObject(&keep);
        };
        const PdfObject page = read("<< /Type /Page /Annots [1 0 R 2 0 R << /A [3 0 R] >>] "
                                    "/Count 2 /Kids [4 0 R] /Count 1 >>");
        QCOMPARE(page.keys, (std::vector<std::string>{"Count", "Kids"}));
        QCOMPARE(page.find("Count")->number, std::int64_t{1});
        QCOMPARE(page.find("Kids")->values.at(0).number, std::int64_t{4});
        for (const char* damaged : {"<< /Annots [1 R] /Count 1 >>", "<< /Annots << /A >> >>",
                                    "<< /Annots [ /Count 1 >>", "<< /Annots [<4g>] >>"}) {
            QVERIFY_THROWS_EXCEPTION(GiveWayToQpdf, read(damaged));
        }
    }

    // Containers inside containers share one buffer of items: each gets its own items back,
    // also after an object that gave way halfway down.
    void nestedContainersKeepTheirItems() {
        const auto read = [](std::string_view text) {
            PdfParser parser(text, true);
            return parser.readObject();
        };
        // An R takes only integers of its own container.
        QVERIFY_THROWS_EXCEPTION(GiveWayToQpdf, read("[1 2 [R]]"));
        QVERIFY_THROWS_EXCEPTION(GiveWayToQpdf, read("[1 [2 << /A [3 0 R] /B >> ] ]"));
        const PdfObject outer = read("[1 [2 << /A [3 0 R] /B (x) /A 4 >> 5] 6 0 R]");
        QCOMPARE(outer.values.size(), std::size_t{3});
        QCOMPARE(outer.values[0].number, std::int64_t{1});
        const PdfObject& inner = outer.values[1];
        QCOMPARE(inner.values.size(), std::size_t{3});
        QCOMPARE(inner.values[2].number, std::int64_t{5});
        const PdfObject& dictionary = inner.values[1];
        QCOMPARE(dictionary.keys, (std::vector<std::string>{"A", "B"}));
        QCOMPARE(dictionary.find("A")->number, std::int64_t{4});
        QCOMPARE(dictionary.find("B")->bytes, std::string("x"));
        QVERIFY(outer.values[2].is(PdfObject::Kind::Reference));
        QCOMPARE(outer.values[2].number, std::int64_t{6});
    }

    // An object cut off at the end of the bytes given asks for more, unless they are all.
    void needsMoreBytes() {
        PdfParser cut("<< /Title (Annual", false);
        QVERIFY_THROWS_EXCEPTION(NeedMoreBytes, cut.readObject());
        PdfParser complete("<< /Title (Annual", true);
        QVERIFY_THROWS_EXCEPTION(GiveWayToQpdf, complete.readObject());
    }

    // Which entry qpdf keeps when sections disagree, newest section first.
    // Cross-reference stream entries qpdf reads otherwise: a type beyond 2, an object number or
    // offset beyond its range, data shorter than the entries; narrow fields are checked by
    // their type alone.
    void streamEntryChecks() {
        const auto usable = [](std::array<int, 3> widths, std::string data) {
            CrossReference::StreamEntries entries;
            entries.widths = widths;
            const int size = widths[0] + widths[1] + widths[2];
            entries.ranges = {{1, static_cast<int>(data.size()) / std::max(size, 1)}};
            entries.data = std::move(data);
            return CrossReference::streamEntriesAreUsable(entries);
        };
        using namespace std::string_literals;
        QVERIFY(usable({1, 2, 1}, "\x01\x00\x10\x00\x02\x00\x05\x07\x00\x00\x00\x00"s));
        QVERIFY(!usable({1, 2, 1}, "\x01\x00\x10\x00\x03\x00\x05\x07"s));
        QVERIFY(usable({0, 3, 1}, "\xff\xff\xff\x00"s));
        QVERIFY(usable({2, 2, 1}, "\x00\x02\x00\x05\x00"s));
        QVERIFY(!usable({2, 2, 1}, "\x01\x02\x00\x05\x00"s));
        QVERIFY(usable({1, 4, 2}, "\x02\x7f\xff\xff\xff\x00\x01"s));
        QVERIFY(!usable({1, 4, 2}, "\x02\x80\x00\x00\x00\x00\x01"s));
        QVERIFY(usable({1, 4, 2}, "\x01\x80\x00\x00\x00\x00\x01"s));
        QVERIFY(!usable({1, 2, 4}, "\x01\x00\x10\x80\x00\x00\x00"s));
        QVERIFY(usable({1, 2, 4}, "\x00\x00\x10\x80\x00\x00\x00"s));
        CrossReference::StreamEntries shortData;
        shortData.widths = {1, 2, 1};
        shortData.ranges = {{1, 2}};
        shortData.data = "\x01\x00\x10\x00"s;
        QVERIFY(!CrossReference::streamEntriesAreUsable(shortData));
    }

    void crossReferencePrecedence() {
        // Table entries by their offset in this made-up file: entry i at offset 20 * i.
        const std::vector<std::string> table = {
            "0000000100 00000 n \n", // 0: object 5 in the newest section
            "0000000200 00000 n \n", // 1: object 5 in an older section
            "0000000000 00001 f \n", // 2: object 6 freed, newest
            "0000000300 00000 n \n", // 3: object 6, older
            "0000000400 00001 n \n", // 4: object 7 generation 1, newest
            "0000000500 00000 n \n", // 5: object 7 generation 0, older
        };
        for (const std::string& entry : table) {
            QVERIFY(CrossReference::tableEntryIsWellFormed(entry));
        }
        QVERIFY(!CrossReference::tableEntryIsWellFormed("000000100 00000 n \n\n"));
        QVERIFY(!CrossReference::tableEntryIsWellFormed("0000000100 00000 n\n\n"));
        CrossReference xref(
            [&](std::int64_t at) { return std::string_view(table[static_cast<size_t>(at / 20)]); });
        using Kind = CrossReference::Location::Kind;
        CrossReference::Section newest;
        newest.table = {{5, 1, 0}, {6, 1, 40}, {7, 1, 80}};
        // Object 8 in an object stream (number 9) by the stream part of a hybrid section.
        CrossReference::StreamEntries stream;
        stream.widths = {1, 1, 1};
        stream.ranges = {{8, 1}};
        stream.data = std::string("\x02\x09\x00", 3);
        newest.stream = stream;
        CrossReference::Section older;
        older.table = {{5, 1, 20}, {6, 1, 60}, {7, 1, 100}, {8, 1, 20}};
        xref.add(newest);
        xref.add(older);

        QCOMPARE(xref.find(5, 0).where, std::int64_t{100});
        QCOMPARE(xref.find(6, 0).kind, Kind::Missing);
        QCOMPARE(xref.find(7, 1).where, std::int64_t{400});
        // qpdf keeps each generation's newest entry.
        QCOMPARE(xref.find(7, 0).where, std::int64_t{500});
        QCOMPARE(xref.find(8, 0).kind, Kind::InStream);
        QCOMPARE(xref.find(8, 0).where, std::int64_t{9});
        QCOMPARE(xref.find(10, 0).kind, Kind::Missing);
    }
};

QTEST_APPLESS_MAIN(ToolQuickReaderTest)
#include "tst_tool_quickreader.moc"
