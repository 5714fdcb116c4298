#include "base/CellText.h"
#include "base/Properties.h"
#include "extract/ToolOutput.h"
#include "tests/support/TestMain.h"

#include <QFile>
#include <QMap>

namespace {

base::Columns allColumns() {
    base::Columns columns;
    for (const base::PropertyInfo& info : base::properties())
        columns.append(info.id);
    return columns;
}

// The cells one parse writes (by header, as shown in the United States, the last write
// winning), their values, and the errors it reports.
struct Parsed {
    QMap<QString, QString> cells;
    QMap<QString, base::CellValue> values;
    QStringList writeOrder;
    QStringList errors;
};

Parsed parse(const QByteArray& output, const base::Columns& columns = allColumns()) {
    Parsed parsed;
    const extract::ToolOutputReading reading = extract::readToolOutput(output, columns);
    for (const extract::PropertyValue& value : reading.values) {
        const QString header = QLatin1String(base::infoOf(value.property).header);
        parsed.cells[header] = base::cellText(value.value, QLocale(QStringLiteral("en_US")));
        parsed.values[header] = value.value;
        parsed.writeOrder.append(header);
    }
    parsed.errors = reading.problems;
    return parsed;
}

QByteArray saved(const char* name) {
    QFile file(testsupport::sourceDir() + QStringLiteral("/tests/extract/data/") +
               QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The headers of the audit's columns.
QStringList auditHeaders() {
    QStringList headers;
    for (const base::PropertyInfo& info : base::properties())
        if (info.source == base::Source::ToolAudit)
            headers.append(QLatin1String(info.header));
    return headers;
}

} // namespace

Q_DECLARE_METATYPE(base::CellValue)

class ToolOutputTest : public QObject {
    Q_OBJECT
private slots:
    void savedRealOutputIsReadAndDecoded() {
        const QByteArray output = saved("pdftk-java-rich.txt");
        QVERIFY(!output.isEmpty());
        for (const QByteArray& lineEnds : {QByteArray("\n"), QByteArray("\r\n")}) {
            const Parsed parsed = parse(QByteArray(output).replace("\n", lineEnds));
            QCOMPARE(parsed.cells.value("Title"),
                     QString::fromUtf8("Café \"Ünïcode\" <report> & 'notes' 中文 😀"));
            QCOMPARE(parsed.cells.value("Author"), QString::fromUtf8("Zoë  Smith"));
            QCOMPARE(parsed.cells.value("Creator"), QStringLiteral("Writer 7.1"));
            QCOMPARE(parsed.cells.value("Producer"), QStringLiteral("LibreOffice 7.4"));
            QCOMPARE(parsed.cells.value("Subject"), QStringLiteral("Tabs\tinside\tvalue"));
            QCOMPARE(parsed.cells.value("Keywords"), QStringLiteral("pdf, metadata; test"));
            QCOMPARE(parsed.cells.value("Number Of Pages"), QStringLiteral("1"));
            QCOMPARE(parsed.cells.value("Date Created"), QStringLiteral("8/31/2021 2:30:05 PM"));
            QCOMPARE(parsed.cells.value("Date Modified"), QStringLiteral("1/1/2022"));
            QVERIFY(parsed.errors.isEmpty());
        }
    }

    void outputWithoutInfoGivesThePageCountOnly() {
        const Parsed minimal = parse(saved("pdftk-java-minimal.txt"));
        QCOMPARE(minimal.cells.keys(), QStringList{"Number Of Pages"});
        QCOMPARE(minimal.cells.value("Number Of Pages"), QStringLiteral("1"));
        const Parsed junk = parse(saved("pdftk-java-leading-junk.txt"));
        QCOMPARE(junk.cells.keys(), QStringList{"Number Of Pages"});
        QCOMPARE(junk.cells.value("Number Of Pages"), QStringLiteral("30"));
    }

    void keysMatchByTheirBeginningAndTheLastOneWins() {
        // A custom entry TitleX counts as the title; the later one wins, in either order.
        const Parsed titleLast =
            parse("InfoKey: TitleX\nInfoValue: X\nInfoKey: Title\nInfoValue: T\n");
        QCOMPARE(titleLast.cells.value("Title"), QStringLiteral("T"));
        const Parsed titleXLast =
            parse("InfoKey: Title\nInfoValue: T\nInfoKey: TitleX\nInfoValue: X\n");
        QCOMPARE(titleXLast.cells.value("Title"), QStringLiteral("X"));
        QCOMPARE(titleXLast.writeOrder, (QStringList{"Title", "Title"}));
        // A key is found anywhere in its line, also after another key.
        const Parsed inside = parse("junk InfoKey: Note InfoKey: Creator\nInfoValue: C\n");
        QCOMPARE(inside.cells.value("Creator"), QStringLiteral("C"));
    }

    void creationDateIsNoCreator() {
        const Parsed parsed = parse("InfoKey: CreationDate\nInfoValue: D:20200101\n");
        QVERIFY(!parsed.cells.contains("Creator"));
        QCOMPARE(parsed.cells.value("Date Created"), QStringLiteral("1/1/2020"));
    }

    void valuesAreTrimmedOfBlanksOnly() {
        const Parsed parsed = parse("InfoKey: Author\nInfoValue:  \t a  b \t  \n"
                                    "InfoKey: Subject\nplain line without label\n"
                                    "InfoKey: Keywords\nInfoValue: x InfoValue: y\n"
                                    "NumberOfPages:   12  \n");
        QCOMPARE(parsed.cells.value("Author"), QStringLiteral("\t a  b \t"));
        QCOMPARE(parsed.cells.value("Subject"), QStringLiteral("plain line without label"));
        QCOMPARE(parsed.cells.value("Keywords"), QStringLiteral("x  y"));
        QCOMPARE(parsed.cells.value("Number Of Pages"), QStringLiteral("12"));
    }

    void onlyColumnsOfTheTableAreWritten() {
        const Parsed parsed = parse("InfoKey: ModDate\nInfoValue: garbage\nInfoKey: Title\n"
                                    "InfoValue: T\nNumberOfPages: 3\n",
                                    {base::Property::Title});
        QCOMPARE(parsed.cells.keys(), QStringList{"Title"});
        // No date column, so the unreadable date is not even converted.
        QVERIFY(parsed.errors.isEmpty());
    }

    void aKeyWithoutValueLineIsReported() {
        for (const QByteArray& output :
             {QByteArray("InfoKey: Title"), QByteArray("InfoKey: Title\n"),
              QByteArray("InfoKey: Title\r\n")}) {
            const Parsed parsed = parse(output);
            QVERIFY(!parsed.cells.contains("Title"));
            QCOMPARE(parsed.errors.size(), 1);
        }
    }

    void unreadableDatesAreReported() {
        const Parsed parsed = parse("InfoKey: ModDate\nInfoValue: garbage\n"
                                    "InfoKey: CreationDate\nInfoValue: D:2021083114\n");
        QVERIFY(!parsed.cells.contains("Date Modified"));
        QCOMPARE(parsed.cells.value("Date Created"), QStringLiteral("8/31/2021"));
        QCOMPARE(parsed.errors.size(), 2);
    }

    void encodedLineBreaksAtTheEndsAreTrimmed() {
        const Parsed parsed = parse("InfoKey: Title\nInfoValue: Report&#13;&#10;\n"
                                    "InfoKey: Author\nInfoValue: &#10; Ann &#32;B\n");
        QCOMPARE(parsed.cells.value("Title"), QStringLiteral("Report"));
        QCOMPARE(parsed.cells.value("Author"), QStringLiteral("Ann  B"));
    }

    // A page count is a number when the tool wrote one; anything else stays its text.
    void pageCountsAreNumbersWhenTheyAreNumbers() {
        QCOMPARE(parse("NumberOfPages: 12\n").values.value("Number Of Pages"),
                 base::CellValue::integer(12));
        QCOMPARE(parse("NumberOfPages: twelve\n").values.value("Number Of Pages"),
                 base::CellValue("twelve"));
        QCOMPARE(parse("NumberOfPages: 012\n").values.value("Number Of Pages"),
                 base::CellValue("012"));
    }

    void aValueIsNeverReadAsAKey() {
        const Parsed parsed = parse("InfoKey: Subject\nInfoValue: InfoKey: Title\n"
                                    "InfoBegin\nInfoKey: Author\nInfoValue: NumberOfPages: 99\n"
                                    "NumberOfPages: 2\n");
        QCOMPARE(parsed.cells.value("Subject"), QStringLiteral("InfoKey: Title"));
        QVERIFY(!parsed.cells.contains("Title"));
        QCOMPARE(parsed.cells.value("Number Of Pages"), QStringLiteral("2"));
    }

    void decodingCharacterReferences_data() {
        QTest::addColumn<QString>("escaped");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("named") << "&amp;&lt;&gt;&quot;&apos;"
                               << "&<>\"'";
        QTest::newRow("Latin") << "Caf&#233;" << QString::fromUtf8("Café");
        QTest::newRow("CJK") << "&#20013;&#25991;" << QString::fromUtf8("中文");
        QTest::newRow("astral") << "&#128512;" << QString::fromUtf8("😀");
        QTest::newRow("hexadecimal") << "&#xE9;&#X1F600;" << QString::fromUtf8("é😀");
        QTest::newRow("date zone") << "D:20121115195358-05&apos;00&apos;"
                                   << "D:20121115195358-05'00'";
        QTest::newRow("escaped reference stays literal") << "&amp;#233;"
                                                         << "&#233;";
        QTest::newRow("tab kept") << "a&#9;b"
                                  << "a\tb";
        QTest::newRow("line breaks become blanks") << "a&#13;&#10;b\rc"
                                                   << "a  b c";
        QTest::newRow("NUL left out") << "a&#0;b"
                                      << "ab";
        QTest::newRow("unknown name") << "&nbsp;&copy"
                                      << "&nbsp;&copy";
        QTest::newRow("beyond Unicode") << "&#1114112;&#55296;"
                                        << "&#1114112;&#55296;";
        QTest::newRow("not a number") << "&#12a;&#;&#x;"
                                      << "&#12a;&#;&#x;";
        QTest::newRow("lone ampersand") << "R & D &"
                                        << "R & D &";
    }
    void decodingCharacterReferences() {
        QFETCH(QString, escaped);
        QFETCH(QString, decoded);
        QCOMPARE(extract::decodeToolText(escaped), decoded);
    }

    // Our tool's audit lines, saved for its test PDFs, as the table shows them (in the United
    // States); every audit column not listed has no value.
    void auditLinesOfSavedOutput_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("shown"); // "Header=text"
        const QString times = QStringLiteral(" \u00D7 ");
        const QStringList plainA4 = {"Page Size=8.3" + times + "11.7 in (A4)",
                                     "Encryption=None",
                                     "Tagged=No",
                                     "Linearized=No",
                                     "Form=None",
                                     "JavaScript=No",
                                     "Attachments=0",
                                     "Signatures=0"};
        const auto with = [&](QStringList changed) {
            QStringList lines = plainA4;
            for (const QString& line : changed) {
                const QString header = line.section(QLatin1Char('='), 0, 0);
                lines.removeIf([&](const QString& old) { return old.startsWith(header + '='); });
                lines.append(line);
            }
            return lines;
        };
        QTest::newRow("tagged, language, PDF/A claim")
            << "pdftk-audit-tagged.txt" << with({"Tagged=Yes", "Language=en-GB", "PDF/A=PDF/A-2b"});
        QTest::newRow("escaped language, claim in small letters")
            << "pdftk-audit-pdfa-element.txt"
            << with({QString::fromUtf8("Language=fr-CA é <&>"), "PDF/A=PDF/A-1a"});
        QTest::newRow("sizes that vary")
            << "pdftk-audit-sizes-vary.txt" << with({"Page Size=varies"});
        QTest::newRow("turned first page")
            << "pdftk-audit-rotated.txt" << with({"Page Size=11.7" + times + "8.3 in (A4)"});
        QTest::newRow("signature fields")
            << "pdftk-audit-form.txt" << with({"Form=AcroForm", "Signatures=4"});
        QTest::newRow("XFA") << "pdftk-audit-xfa.txt" << with({"Form=XFA"});
        QTest::newRow("linearized") << "pdftk-audit-linearized.txt" << with({"Linearized=Yes"});
        QTest::newRow("JavaScript") << "pdftk-audit-js-link.txt" << with({"JavaScript=Yes"});
        QTest::newRow("attachments") << "pdftk-audit-attachments.txt" << with({"Attachments=3"});
        QTest::newRow("opened with its password")
            << "pdftk-audit-enc-rc4-128.txt" << with({"Encryption=RC4 128-bit (password to open)"});
        QTest::newRow("not opened without its password")
            << "pdftk-audit-enc-aes-256-no-password.txt"
            << QStringList{"Encryption=AES 256-bit (password to open)"};
    }
    void auditLinesOfSavedOutput() {
        QFETCH(QString, file);
        QFETCH(QStringList, shown);
        const QByteArray output = saved(qPrintable(file));
        QVERIFY(!output.isEmpty());
        const Parsed parsed = parse(output);
        QStringList got;
        for (const QString& header : auditHeaders())
            if (parsed.cells.contains(header))
                got.append(header + QLatin1Char('=') + parsed.cells.value(header));
        QStringList expected = shown;
        expected.sort();
        got.sort();
        QCOMPARE(got, expected);
        QVERIFY(parsed.errors.isEmpty());
    }

    // The values keep their kinds for the typed outputs: the first page's size exactly as
    // written, counts as numbers, answers as yes or no.
    void auditValuesAreTyped() {
        const Parsed rotated = parse(saved("pdftk-audit-rotated.txt"));
        QCOMPARE(rotated.values.value("Page Size"),
                 base::CellValue::pageSize({841.89, 595.276, false}));
        QCOMPARE(rotated.values.value("Tagged"), base::CellValue::boolean(false));
        QCOMPARE(rotated.values.value("Attachments"), base::CellValue::integer(0));
        QCOMPARE(parse(saved("pdftk-audit-sizes-vary.txt")).values.value("Page Size"),
                 base::CellValue::pageSize({595, 480, true}));
        QCOMPARE(
            parse(saved("pdftk-audit-enc-rc4-128.txt")).values.value("Encryption"),
            base::CellValue::encryption({base::EncryptionValue::Method::Rc4With128Bits, true}));
    }

    // Lines the tool would not write keep their text where a value was due; a language or
    // claim that holds a key of the dump is never read as that key; the page size without
    // its companion line is taken as the same for every page; the last line of a key wins.
    void unusualAuditLines() {
        const Parsed parsed = parse("InfoKey: Author\nInfoValue: A\n"
                                    "Language: x InfoKey: Title\nInfoValue: not a title\n"
                                    "PdfA: InfoKey: Subject\n"
                                    "PageSize: wide tall\n"
                                    "Encryption: ChaCha20\n"
                                    "Tagged: Maybe\n"
                                    "Attachments: -1\n"
                                    "Signatures: 07\n"
                                    "Form: Paper\n"
                                    "Form: XFA\n"
                                    "Linearized: Ye&#10;s\rno\n"
                                    "JavaScript:\n");
        QCOMPARE(parsed.cells.value("Author"), QStringLiteral("A"));
        QVERIFY(!parsed.cells.contains("Title") && !parsed.cells.contains("Subject"));
        QCOMPARE(parsed.cells.value("Language"), QStringLiteral("x InfoKey: Title"));
        QCOMPARE(parsed.cells.value("PDF/A"), QStringLiteral("PDF/A-InfoKey: Subject"));
        QCOMPARE(parsed.values.value("Page Size"), base::CellValue("wide tall"));
        QCOMPARE(parsed.values.value("Encryption"), base::CellValue("ChaCha20"));
        QCOMPARE(parsed.values.value("Tagged"), base::CellValue("Maybe"));
        QCOMPARE(parsed.values.value("Attachments"), base::CellValue("-1"));
        QCOMPARE(parsed.values.value("Signatures"), base::CellValue("07"));
        QCOMPARE(parsed.values.value("Form"), base::CellValue::form(base::FormKind::Xfa));
        QCOMPARE(parsed.values.value("Linearized"), base::CellValue("Ye s no")); // one line
        QVERIFY(!parsed.cells.contains("JavaScript"));                           // empty: no value
        QCOMPARE(parse("PageSize: 612 792\n").values.value("Page Size"),
                 base::CellValue::pageSize({612, 792, false}));
    }

    // Audit lines of columns not in the table are not read; the described columns read as
    // ever from a dump that has audit lines.
    void auditLinesOnlyForTheirColumns() {
        const QByteArray output = saved("pdftk-audit-tagged.txt");
        const Parsed described =
            parse(output, {base::Property::Title, base::Property::Pages, base::Property::Tagged});
        QCOMPARE(described.cells.keys(), (QStringList{"Number Of Pages", "Tagged", "Title"}));
        QCOMPARE(described.cells.value("Title"), QStringLiteral("Annual report 2020"));
        QCOMPARE(described.cells.value("Tagged"), QStringLiteral("Yes"));
        // pdftk-java writes no audit lines: its dump leaves the audit columns empty.
        const Parsed java = parse(saved("pdftk-java-rich.txt"));
        for (const QString& header : auditHeaders())
            QVERIFY2(!java.cells.contains(header), qPrintable(header));
    }

    void utf8AndLatin1OutputAreBothRead() {
        QCOMPARE(parse("InfoKey: Title\nInfoValue: Caf\xc3\xa9\n").cells.value("Title"),
                 QString::fromUtf8("Café"));
        QCOMPARE(parse("InfoKey: Title\nInfoValue: Caf\xe9\n").cells.value("Title"),
                 QString::fromUtf8("Café"));
    }
};

PARVILON_TEST_MAIN(ToolOutputTest)
#include "tst_tooloutput.moc"
