// What a run needs beyond the dump's reading to fill the further columns: the tool's word for
// the audit, the features a tool names, the note when it lacks the audit, and the file's size.
#include "extract/FileFacts.h"
#include "extract/ToolCommand.h"
#include "extract/ToolFeatures.h"
#include "tests/support/TestMain.h"

#include <QFile>
#include <QTemporaryDir>

using base::Property;

class AuditRequestTest : public QObject {
    Q_OBJECT
private slots:
    void theAuditWordFollowsTheOperation() {
        const auto every = extract::AuditAsked::EveryPage;
        const auto plain = extract::buildToolCommand("/t/pdftk", "/d/a.pdf", {}, "/o", every);
        QCOMPARE(plain.arguments, (QStringList{"/d/a.pdf", "dumpdata", "audit", "output", "/o"}));
        const auto withPassword =
            extract::buildToolCommand("/t/pdftk", "/d/a.pdf", "secret", "/o", every);
        QCOMPARE(withPassword.arguments, (QStringList{"A=/d/a.pdf", "input_pw", "A=PROMPT",
                                                      "dumpdata", "audit", "output", "/o"}));
        QCOMPARE(extract::dumpWords(extract::AuditAsked::No), QStringList{"dumpdata"});
    }

    void featuresAsToolsNameThem_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("audit");
        QTest::addColumn<bool>("serve");
        QTest::newRow("--features lines") << QByteArray("audit\nserve\n") << true << true;
        QTest::newRow("ready line's list") << QByteArray("audit,serve") << true << true;
        QTest::newRow("serving only") << QByteArray("serve\n") << false << true;
        QTest::newRow("words that only contain it")
            << QByteArray("auditing,preserve\n") << false << false;
        QTest::newRow("pdftk-java's complaint")
            << QByteArray("Error: Unable to find file.\nError: Failed to open input PDF file: \n"
                          "   --features\n")
            << false << false;
    }
    void featuresAsToolsNameThem() {
        QFETCH(QByteArray, text);
        QFETCH(bool, audit);
        QFETCH(bool, serve);
        const extract::ToolFeatures features = extract::featuresNamed(text);
        QCOMPARE(features.audit, audit);
        QCOMPARE(features.serve, serve);
    }

    // The note names the columns left empty, and only those the audit fills.
    void theNoteNamesTheEmptyColumns() {
        const base::Columns columns{Property::Title, Property::FileSize, Property::PageSize,
                                    Property::PdfA};
        QVERIFY(extract::wantsAudit(columns));
        QVERIFY(!extract::wantsAudit({Property::Title, Property::FileSize}));
        const QString note = extract::auditUnavailableNote("/usr/bin/pdftk", columns);
        QVERIFY2(note.startsWith(QStringLiteral("Page Size, PDF/A stay empty")), qPrintable(note));
        QVERIFY(note.contains(QStringLiteral("/usr/bin/pdftk")));
        QVERIFY(!note.contains(QStringLiteral("File Size")));
        QVERIFY(extract::auditUnavailableNote("/t", {Property::Title}).isEmpty());
    }

    // A regular file's size in bytes, only where its column is wanted.
    void theFileSizeComesFromItsEntry() {
        QTemporaryDir folder;
        QFile file(folder.filePath("a.pdf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(12345, 'x'));
        file.close();
        const platform::FileEntry entry = platform::lookUpFile(file.fileName());
        const QList<extract::PropertyValue> values =
            extract::fileEntryValues(entry, {Property::Title, Property::FileSize});
        QCOMPARE(values.size(), 1);
        QCOMPARE(values[0].property, Property::FileSize);
        QCOMPARE(values[0].value, base::CellValue::byteCount(12345));
        QVERIFY(extract::fileEntryValues(entry, {Property::Title}).isEmpty());
        QVERIFY(extract::fileEntryValues(platform::lookUpFile(folder.path()), {Property::FileSize})
                    .isEmpty());
        QVERIFY(extract::fileEntryValues(platform::lookUpFile(folder.filePath("none.pdf")),
                                         {Property::FileSize})
                    .isEmpty());
    }
};

PARVILON_TEST_MAIN(AuditRequestTest)
#include "tst_auditrequest.moc"
