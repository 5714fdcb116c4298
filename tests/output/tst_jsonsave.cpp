#include "output/JsonSave.h"
#include "output/JsonValues.h"
#include "tests/output/OutputFixtures.h"
#include "tests/support/TestMain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using base::CellValue;
using base::DateTimeValue;
using base::Property;
using testsupport::fileBytes;
using testsupport::results;

namespace {

CellValue moment(DateTimeValue::Kind kind, QDate date, QTime time,
                 std::optional<int> offsetSeconds) {
    return CellValue::dateTime({kind, date, time, offsetSeconds});
}

// Every kind of value once, a value of the wrong kind, no values, an unticked row and a row
// whose file could not be read.
base::ResultsSnapshot everyKind() {
    using Kind = DateTimeValue::Kind;
    using Method = base::EncryptionValue::Method;
    const QDate day(2021, 8, 31);
    const QTime time(14, 30, 5, 250);
    base::ResultsSnapshot table = results(
        {Property::Title, Property::Pages, Property::Modified, Property::Created,
         Property::Accessed, Property::FileSize, Property::PageSize, Property::Encryption,
         Property::Tagged, Property::Language, Property::Form, Property::Attachments},
        {{QString::fromUtf8("/docs/Zoë \"q\" \\ 😀.pdf"),
          QString::fromUtf8("Tab\there, line\nbreak, \"quoted\" \\ 中文 😀"), CellValue::integer(12),
          moment(Kind::DocumentDateTime, day, time, 5 * 3600 + 1800),
          moment(Kind::DocumentDateTime, day, time, std::nullopt),
          moment(Kind::FileDateTime, {2026, 12, 8}, {6, 24, 37}, -4 * 3600),
          CellValue::byteCount(5'000'000'000), CellValue::pageSize({595.276, 841.89, false}),
          CellValue::encryption({Method::Aes256, true}), CellValue::boolean(true), "en-GB",
          CellValue::form(base::FormKind::Xfa), CellValue::integer(3)},
         {"/docs/odd.pdf",
          "",
          "12a",
          moment(Kind::DocumentDate, day, {}, 3600),
          moment(Kind::DocumentDateTime, day, time, 0),
          {},
          {},
          CellValue::pageSize({100, 200.5, true}),
          CellValue::encryption({Method::None, false}),
          CellValue::boolean(false),
          {},
          CellValue::form(base::FormKind::None)},
         {"/docs/unticked.pdf", "left out"},
         {"/docs/locked.pdf",
          {},
          {},
          {},
          {},
          {},
          CellValue::byteCount(2416),
          {},
          CellValue::encryption({Method::Rc4With128Bits, true})}},
        {2});
    table.rows[3].unreadReason = QStringLiteral("pdftk: locked.pdf: a password is required");
    return table;
}

} // namespace

class JsonSaveTest : public QObject {
    Q_OBJECT
private slots:
    void everyValueHasItsJsonType() {
        QTemporaryDir folder;
        const QString path = folder.filePath("results.json");
        QVERIFY(output::saveResultsJson(everyKind(), path).ok());
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(fileBytes(path), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonArray rows = document.array();
        QCOMPARE(rows.size(), 3);

        const QJsonObject full = rows[0].toObject();
        QCOMPARE(full["file"].toString(), QString::fromUtf8("/docs/Zoë \"q\" \\ 😀.pdf"));
        QCOMPARE(full["title"].toString(),
                 QString::fromUtf8("Tab\there, line\nbreak, \"quoted\" \\ 中文 😀"));
        QVERIFY(full["pages"].isDouble());
        QCOMPARE(full["pages"].toInteger(), 12);
        QCOMPARE(full["modified"].toString(), QStringLiteral("2021-08-31T14:30:05+05:30"));
        QCOMPARE(full["created"].toString(), QStringLiteral("2021-08-31T14:30:05"));
        QCOMPARE(full["accessed"].toString(), QStringLiteral("2026-12-08T06:24:37-04:00"));
        QCOMPARE(full["filesize"].toInteger(), 5'000'000'000);
        const QJsonObject a4 = full["pagesize"].toObject();
        QCOMPARE(a4.keys(), (QStringList{"height", "name", "width"}));
        QCOMPARE(a4["width"].toDouble(), 595.276);
        QCOMPARE(a4["height"].toDouble(), 841.89);
        QCOMPARE(a4["name"].toString(), QStringLiteral("A4"));
        QCOMPARE(full["encryption"].toString(), QStringLiteral("AES-256"));
        QCOMPARE(full["tagged"], QJsonValue(true));
        QCOMPARE(full["language"].toString(), QStringLiteral("en-GB"));
        QCOMPARE(full["form"].toString(), QStringLiteral("XFA"));
        QCOMPARE(full["attachments"].toInteger(), 3);
        QVERIFY(!full.contains("error"));

        const QJsonObject odd = rows[1].toObject();
        QVERIFY(odd["title"].isNull());
        QCOMPARE(odd["pages"], QJsonValue("12a")); // the text the tool gave
        QCOMPARE(odd["modified"].toString(), QStringLiteral("2021-08-31")); // a date alone
        QCOMPARE(odd["created"].toString(), QStringLiteral("2021-08-31T14:30:05+00:00"));
        QVERIFY(odd["accessed"].isNull() && odd["filesize"].isNull() && odd["language"].isNull());
        // Pages that differ: still the first page's size, with no paper of that size.
        QCOMPARE(odd["pagesize"].toObject()["height"].toDouble(), 200.5);
        QVERIFY(odd["pagesize"].toObject()["name"].isNull());
        QCOMPARE(odd["encryption"].toString(), QStringLiteral("none"));
        QCOMPARE(odd["tagged"], QJsonValue(false));
        QCOMPARE(odd["form"].toString(), QStringLiteral("none"));
        QVERIFY(odd["attachments"].isNull());

        const QJsonObject locked = rows[2].toObject();
        QCOMPARE(locked["error"].toString(),
                 QStringLiteral("pdftk: locked.pdf: a password is required"));
        QCOMPARE(locked["encryption"].toString(), QStringLiteral("RC4-128"));
        QCOMPARE(locked["filesize"].toInteger(), 2416);
        QVERIFY(locked["pages"].isNull());
        QCOMPARE(locked.size(), 14);
    }

    // Members in the order a reader looks for them, whatever order the writer's objects keep.
    void membersComeFileFirstAndErrorLast() {
        const base::ResultsSnapshot table = everyKind();
        const QByteArray locked = output::jsonText(table.columns, table.rows[3]);
        QVERIFY2(locked.startsWith("{\"file\":\"/docs/locked.pdf\",\"title\":null,\"pages\":null,"),
                 locked.constData());
        QVERIFY2(locked.endsWith(",\"error\":\"pdftk: locked.pdf: a password is required\"}"),
                 locked.constData());
    }

    // Whatever a name or a value holds comes back from a JSON reader as it was: every control
    // character, quotes and backslashes, characters beyond U+FFFF, and in a name the lone
    // surrogate a name that is not UTF-8 can bring; dates beyond four-digit years too.
    void stringsAndDatesComeBackAsTheyWere() {
        QString controls;
        for (char16_t c = 1; c < 0x20; ++c)
            controls += QChar(c);
        const QString odd = controls + QString::fromUtf8("\x7f \" \\ / é 中 😀");
        const QString path =
            QStringLiteral("/docs/") + odd + QChar(0xDC80) + QChar(0) + QStringLiteral(".pdf");
        const QDate farFuture(12000, 1, 2);
        const base::ResultsSnapshot table = results(
            {Property::Title, Property::Modified, Property::Created},
            {{path, odd, moment(DateTimeValue::Kind::DocumentDateTime, farFuture, {1, 2, 3}, 0),
              moment(DateTimeValue::Kind::DocumentDate, {1, 1, 1}, {}, std::nullopt)}});
        QJsonParseError error{};
        const QByteArray text = output::jsonText(table.columns, table.rows[0]);
        const QJsonObject object = QJsonDocument::fromJson(text, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(object["file"].toString(), path);
        QCOMPARE(object["title"].toString(), odd);
        QCOMPARE(object["modified"], output::jsonValueOf(table.rows[0].cells.cell(2)));
        QCOMPARE(object["created"].toString(), QStringLiteral("0001-01-01"));
    }

    // JSON Lines: each ticked row one line that is a whole object, and nothing else.
    void jsonLinesHoldOneObjectALine() {
        QTemporaryDir folder;
        const QString path = folder.filePath("results.JSONL");
        QCOMPARE(output::jsonFormFor(path), output::JsonForm::Lines);
        QVERIFY(output::saveResultsJson(everyKind(), path).ok());
        const QByteArray written = fileBytes(path);
        QVERIFY(written.endsWith('\n'));
        const QList<QByteArray> lines = written.chopped(1).split('\n');
        QCOMPARE(lines.size(), 3);
        QStringList files;
        for (const QByteArray& line : lines) {
            QJsonParseError error{};
            files.append(QJsonDocument::fromJson(line, &error).object()["file"].toString());
            QCOMPARE(error.error, QJsonParseError::NoError);
        }
        QCOMPARE(files, (QStringList{QString::fromUtf8("/docs/Zoë \"q\" \\ 😀.pdf"), "/docs/odd.pdf",
                                     "/docs/locked.pdf"}));
    }

    void nothingTickedIsAnEmptyArray() {
        QTemporaryDir folder;
        const QString path = folder.filePath("results.json");
        QVERIFY(output::saveResultsJson(results({Property::Title}, {{"/a", "T"}}, {0}), path).ok());
        QJsonParseError error{};
        QCOMPARE(QJsonDocument::fromJson(fileBytes(path), &error).array().size(), 0);
        QCOMPARE(error.error, QJsonParseError::NoError);
    }

    void aSaveThatCannotStartSaysWhy() {
        QTemporaryDir folder;
        const QString path = folder.filePath("no/such/folder/x.json");
        const base::Status saved = output::saveResultsJson(everyKind(), path);
        QCOMPARE(saved.error(), path + " cannot be written: No such file or directory");
    }
};

PARVILON_TEST_MAIN(JsonSaveTest)
#include "tst_jsonsave.moc"
