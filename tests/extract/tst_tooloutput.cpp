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

} // namespace

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

    void utf8AndLatin1OutputAreBothRead() {
        QCOMPARE(parse("InfoKey: Title\nInfoValue: Caf\xc3\xa9\n").cells.value("Title"),
                 QString::fromUtf8("Café"));
        QCOMPARE(parse("InfoKey: Title\nInfoValue: Caf\xe9\n").cells.value("Title"),
                 QString::fromUtf8("Café"));
    }
};

PARVILON_TEST_MAIN(ToolOutputTest)
#include "tst_tooloutput.moc"
