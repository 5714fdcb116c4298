// Decoding of PDF strings and the dump's output text, checked against what pdftk-java prints
// for the same bytes (except where a case says otherwise).

#include "tool/DumpFormat.h"
#include "tool/DumpText.h"
#include "tool/PdfText.h"

#include <QTest>

using namespace pdfinfodump;

Q_DECLARE_METATYPE(std::u32string)
Q_DECLARE_METATYPE(pdfinfodump::TextStyle)

namespace {

// "U+0043 U+00E9": readable in a failure message, and exact for lone surrogates too.
QString codePoints(const std::u32string& text) {
    QStringList parts;
    for (const char32_t c : text) {
        parts
            << QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
    }
    return parts.join(QLatin1Char(' '));
}

QByteArray dumpText(const std::u32string& text, TextStyle style) {
    std::string out;
    appendDumpText(out, text, style);
    return QByteArray::fromStdString(out);
}

std::string bytes(QByteArrayView view) {
    return std::string(view.data(), static_cast<size_t>(view.size()));
}

} // namespace

class ToolTextTest : public QObject {
    Q_OBJECT
private slots:
    void decodeTextString_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<std::u32string>("expected");

        QTest::newRow("ASCII") << QByteArray("Title 1") << std::u32string(U"Title 1");
        QTest::newRow("empty") << QByteArray() << std::u32string();
        QTest::newRow("PDFDoc Latin-1 range")
            << QByteArray("Caf\xE9 \xFF") << std::u32string(U"Café ÿ");
        QTest::newRow("PDFDoc signs 0x80-0xA0")
            << QByteArray("\x80\x8D\x92\x93\x9E\xA0") << std::u32string(U"•“™ﬁž€");
        QTest::newRow("PDFDoc undefined bytes")
            << QByteArray("\x7F\x9F\xAD") << std::u32string(U"\x7F\uFFFD\xAD");
        // Diacritics per PDFDocEncoding; pdftk-java treats these bytes as control characters.
        QTest::newRow("PDFDoc diacritics 0x18-0x1F")
            << QByteArray("\x18\x1F") << std::u32string(U"˘˜");
        QTest::newRow("PDFDoc control bytes stay")
            << QByteArray("a\tb\x01", 4) << std::u32string(U"a\tb\x01");
        QTest::newRow("NUL byte") << QByteArray("a\0b", 3) << std::u32string(U"a\0b", 3);

        QTest::newRow("UTF-16BE") << QByteArray("\xFE\xFF\x00\x43\x00\xE9\x4E\x2D", 8)
                                  << std::u32string(U"Cé中");
        QTest::newRow("UTF-16BE surrogate pair")
            << QByteArray("\xFE\xFF\xD8\x3D\xDE\x00", 6) << std::u32string(U"\U0001F600");
        QTest::newRow("UTF-16BE lone high surrogate kept")
            << QByteArray("\xFE\xFF\xD8\x3D\x00\x41", 6) << std::u32string{0xD83D, U'A'};
        QTest::newRow("UTF-16BE lone low surrogate kept")
            << QByteArray("\xFE\xFF\xDE\x00\x00\x41", 6) << std::u32string{0xDE00, U'A'};
        QTest::newRow("UTF-16BE two high surrogates")
            << QByteArray("\xFE\xFF\xD8\x3D\xD8\x3D\xDE\x00", 8) << std::u32string{0xD83D, 0x1F600};
        QTest::newRow("UTF-16BE odd trailing byte ignored")
            << QByteArray("\xFE\xFF\x00\x41\x00", 5) << std::u32string(U"A");
        QTest::newRow("UTF-16BE mark only") << QByteArray("\xFE\xFF") << std::u32string();
        QTest::newRow("UTF-16LE") << QByteArray("\xFF\xFE\x43\x00\xE9\x00\x3D\xD8\x00\xDE", 10)
                                  << std::u32string(U"Cé\U0001F600");

        QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF"
                                                  "Caf\xC3\xA9 \xF0\x9F\x98\x80")
                                    << std::u32string(U"Café \U0001F600");
        QTest::newRow("UTF-8 stray continuation byte") << QByteArray("\xEF\xBB\xBF"
                                                                     "a\x80"
                                                                     "b")
                                                       << std::u32string(U"a\uFFFDb");
        QTest::newRow("UTF-8 truncated sequence before ASCII") << QByteArray("\xEF\xBB\xBF"
                                                                             "\xE4\xB8"
                                                                             "b")
                                                               << std::u32string(U"\uFFFDb");
        QTest::newRow("UTF-8 overlong slash") << QByteArray("\xEF\xBB\xBF"
                                                            "\xC0\xAF")
                                              << std::u32string(U"\uFFFD\uFFFD");
        QTest::newRow("UTF-8 encoded surrogate") << QByteArray("\xEF\xBB\xBF"
                                                               "\xED\xA0\x80"
                                                               "x")
                                                 << std::u32string(U"\uFFFDx");
        QTest::newRow("UTF-8 beyond U+10FFFF") << QByteArray("\xEF\xBB\xBF"
                                                             "\xF4\x90\x80\x80")
                                               << std::u32string(U"\uFFFD");
    }
    void decodeTextString() {
        QFETCH(QByteArray, input);
        QFETCH(std::u32string, expected);
        QCOMPARE(codePoints(pdfinfodump::decodeTextString(bytes(input))), codePoints(expected));
    }

    void decodeNameBytes_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<std::u32string>("expected");
        QTest::newRow("ASCII") << QByteArray("Title") << std::u32string(U"Title");
        // Name bytes are not decoded as UTF-8 (pdftk-java prints &#195;&#169; for them).
        QTest::newRow("UTF-8 bytes one by one")
            << QByteArray("Caf\xC3\xA9") << std::u32string(U"Caf\xC3\xA9");
        QTest::newRow("0x80 is not PDFDoc bullet") << QByteArray("\x80") << std::u32string(U"\x80");
    }
    void decodeNameBytes() {
        QFETCH(QByteArray, input);
        QFETCH(std::u32string, expected);
        QCOMPARE(codePoints(pdfinfodump::decodeNameBytes(bytes(input))), codePoints(expected));
    }

    void appendDumpText_data() {
        QTest::addColumn<std::u32string>("text");
        QTest::addColumn<TextStyle>("style");
        QTest::addColumn<QByteArray>("expected");
        const auto escaped = TextStyle::Escaped;
        const auto utf8 = TextStyle::Utf8;

        QTest::newRow("ASCII") << std::u32string(U"Annual report") << escaped
                               << QByteArray("Annual report");
        QTest::newRow("five entities")
            << std::u32string(U"&<>\"'") << escaped << QByteArray("&amp;&lt;&gt;&quot;&apos;");
        QTest::newRow("reference is escaped, not kept")
            << std::u32string(U"&#233;") << escaped << QByteArray("&amp;#233;");
        QTest::newRow("DEL and above")
            << std::u32string(U"\x7F\x80é") << escaped << QByteArray("&#127;&#128;&#233;");
        QTest::newRow("BMP") << std::u32string(U"中€ﬁ") << escaped
                             << QByteArray("&#20013;&#8364;&#64257;");
        QTest::newRow("astral is one reference")
            << std::u32string(U"\U0001F600") << escaped << QByteArray("&#128512;");
        QTest::newRow("U+10FFFF") << std::u32string(U"\U0010FFFF") << escaped
                                  << QByteArray("&#1114111;");
        QTest::newRow("TAB LF CR as references")
            << std::u32string(U"a\tb\nc\rd") << escaped << QByteArray("a&#9;b&#10;c&#13;d");
        QTest::newRow("forged record stays on its line")
            << std::u32string(U"x\nInfoKey: Fake") << escaped << QByteArray("x&#10;InfoKey: Fake");
        QTest::newRow("other controls dropped") << std::u32string(U"a\x01\x1B\x1F"
                                                                  "b\0c",
                                                                  7)
                                                << escaped << QByteArray("abc");
        QTest::newRow("lone surrogates dropped")
            << std::u32string{U'a', 0xD83D, U'b', 0xDE00} << escaped << QByteArray("ab");
        QTest::newRow("spaces kept") << std::u32string(U"  x  ") << escaped << QByteArray("  x  ");

        QTest::newRow("UTF-8: entities not escaped")
            << std::u32string(U"Tom & Jerry <b> \"q\" 'a'") << utf8
            << QByteArray("Tom & Jerry <b> \"q\" 'a'");
        QTest::newRow("UTF-8: two, three and four bytes")
            << std::u32string(U"é中\U0001F600") << utf8
            << QByteArray("\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
        QTest::newRow("UTF-8: DEL and C1 kept")
            << std::u32string(U"\x7F\x85") << utf8 << QByteArray("\x7F\xC2\x85");
        QTest::newRow("UTF-8: line breaks as references")
            << std::u32string(U"a\r\nb\t") << utf8 << QByteArray("a&#13;&#10;b&#9;");
        QTest::newRow("UTF-8: controls and surrogates dropped")
            << std::u32string{U'a', 0x01, 0x00, 0xDBFF, U'b'} << utf8 << QByteArray("ab");
    }
    void appendDumpText() {
        QFETCH(std::u32string, text);
        QFETCH(TextStyle, style);
        QFETCH(QByteArray, expected);
        QCOMPARE(dumpText(text, style), expected);
    }

    void formatDump_data() {
        QTest::addColumn<QList<QByteArray>>("info"); // key, value, key, value, ...
        QTest::addColumn<QList<QByteArray>>("ids");
        QTest::addColumn<int>("pages"); // -1: unknown
        QTest::addColumn<TextStyle>("style");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("nothing known") << QList<QByteArray>() << QList<QByteArray>() << -1
                                       << TextStyle::Escaped << QByteArray();
        QTest::newRow("no entries, zero pages")
            << QList<QByteArray>() << QList<QByteArray>() << 0 << TextStyle::Escaped
            << QByteArray("NumberOfPages: 0\n");
        QTest::newRow("full record")
            << QList<QByteArray>{"Title", "Caf\xE9", "Author", "A & B"}
            << QList<QByteArray>{QByteArray("\x00\xAB\xFF", 3), "\x10"} << 12 << TextStyle::Escaped
            << QByteArray("InfoBegin\nInfoKey: Title\nInfoValue: Caf&#233;\n"
                          "InfoBegin\nInfoKey: Author\nInfoValue: A &amp; B\n"
                          "PdfID0: 00abff\nPdfID1: 10\nNumberOfPages: 12\n");
        QTest::newRow("UTF-8 style")
            << QList<QByteArray>{"Title", QByteArray("\xFE\xFF\x00\xE9", 4)} << QList<QByteArray>()
            << 1 << TextStyle::Utf8
            << QByteArray("InfoBegin\nInfoKey: Title\nInfoValue: "
                          "\xC3\xA9\nNumberOfPages: 1\n");
        QTest::newRow("empty values left out")
            << QList<QByteArray>{"Empty",    "",          "EmptyUnicode",
                                 "\xFE\xFF", "EmptyUtf8", "\xEF\xBB\xBF",
                                 "Kept",     "k"}
            << QList<QByteArray>() << 1 << TextStyle::Escaped
            << QByteArray("InfoBegin\nInfoKey: Kept\nInfoValue: k\nNumberOfPages: 1\n");
        QTest::newRow("only control characters: an empty value line")
            << QList<QByteArray>{"Odd", "\x01\x02"} << QList<QByteArray>() << -1
            << TextStyle::Escaped << QByteArray("InfoBegin\nInfoKey: Odd\nInfoValue: \n");
        QTest::newRow("key escaped like a value")
            << QList<QByteArray>{"K\xC3\xA9&\n", "v"} << QList<QByteArray>() << -1
            << TextStyle::Escaped
            << QByteArray("InfoBegin\nInfoKey: K&#195;&#169;&amp;&#10;\nInfoValue: v\n");
        QTest::newRow("one ID, empty second ID")
            << QList<QByteArray>() << QList<QByteArray>{"\x01", ""} << -1 << TextStyle::Escaped
            << QByteArray("PdfID0: 01\nPdfID1: \n");
    }
    void formatDump() {
        QFETCH(QList<QByteArray>, info);
        QFETCH(QList<QByteArray>, ids);
        QFETCH(int, pages);
        QFETCH(TextStyle, style);
        QFETCH(QByteArray, expected);
        DocumentFacts facts;
        for (qsizetype i = 0; i + 1 < info.size(); i += 2) {
            facts.info.push_back({info[i].toStdString(), info[i + 1].toStdString()});
        }
        for (const QByteArray& id : ids) {
            facts.ids.push_back(id.toStdString());
        }
        if (pages >= 0) {
            facts.pageCount = pages;
        }
        QCOMPARE(QByteArray::fromStdString(pdfinfodump::formatDump(facts, style)), expected);
    }
};

QTEST_APPLESS_MAIN(ToolTextTest)
#include "tst_tool_text.moc"
