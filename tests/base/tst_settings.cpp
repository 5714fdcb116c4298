#include "base/ErrorReport.h"
#include "base/Settings.h"
#include "tests/support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QSettings>

using base::readSetting;
using base::writeSetting;

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { testsupport::clearSettings(); }

    void missingKeysGiveTheirDefault() {
        QCOMPARE(readSetting(QStringLiteral("Column1"), QStringLiteral("1")), QStringLiteral("1"));
        QCOMPARE(readSetting(QStringLiteral("LastFolder"), QString()), QString());
        QCOMPARE(readSetting(QStringLiteral("Extension"), QStringLiteral("pdf")),
                 QStringLiteral("pdf"));
    }

    void valuesRoundTripExactly_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("zero") << "0";
        QTest::newRow("capitals and dot") << ".PDF";
        QTest::newRow("empty") << "";
        QTest::newRow("comma") << "a,b, c";
        QTest::newRow("bar-joined paths") << "/opt/p/Samples/a.pdf|/opt/p/Samples/b c.pdf";
        QTest::newRow("non-ASCII") << "/home/zoë/报告 Ünïcode";
        QTest::newRow("quotes, equals and semicolons") << "x=\"1\"; y='2' [General]";
        QTest::newRow("leading and trailing blanks") << "  pdf  ";
        QTest::newRow("line breaks") << "a\r\nb\tc";
    }
    void valuesRoundTripExactly() {
        QFETCH(QString, value);
        writeSetting(QStringLiteral("Extension"), value);
        QCOMPARE(readSetting(QStringLiteral("Extension"), QStringLiteral("pdf")), value);
    }

    void writesReachTheStoreAtOnce() {
        writeSetting(QStringLiteral("Check1"), QStringLiteral("1"));
        // Another reader (another instance of the program) sees the value immediately.
        QSettings other(qEnvironmentVariable("XDG_CONFIG_HOME") +
                            QStringLiteral("/Quorvane/Parvilon.conf"),
                        QSettings::IniFormat);
        QCOMPARE(other.value(QStringLiteral("Check1")).toString(), QStringLiteral("1"));
        QVERIFY(testsupport::settingsFileText().contains(QStringLiteral("Check1=1")));
    }

    void readsSeeChangesMadeByAnotherWriter() {
        QCOMPARE(readSetting(QStringLiteral("Column3"), QStringLiteral("1")), QStringLiteral("1"));
        QSettings other(qEnvironmentVariable("XDG_CONFIG_HOME") +
                            QStringLiteral("/Quorvane/Parvilon.conf"),
                        QSettings::IniFormat);
        other.setValue(QStringLiteral("Column3"), QStringLiteral("0"));
        other.sync();
        QCOMPARE(readSetting(QStringLiteral("Column3"), QStringLiteral("1")), QStringLiteral("0"));
    }

    void handEditedListValueReadsAsText() {
        QFile file(qEnvironmentVariable("XDG_CONFIG_HOME") +
                   QStringLiteral("/Quorvane/Parvilon.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nExtension=pdf,txt\n");
        file.close();
        QCOMPARE(readSetting(QStringLiteral("Extension"), QStringLiteral("pdf")),
                 QStringLiteral("pdf,txt"));
    }

    void aStoreThatCannotBeWrittenIsAnError() {
        const QString folder =
            qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quorvane");
        const QString file = folder + QStringLiteral("/Parvilon.conf");
        QFile::remove(file);
        // A folder where the file should be cannot be replaced by the store, even as root.
        QVERIFY(QDir().mkpath(file));
        QVERIFY_THROWS_EXCEPTION(base::RunTimeError,
                                 writeSetting(QStringLiteral("Check1"), QStringLiteral("1")));
        QVERIFY(QDir(file).removeRecursively());
    }
};

PARVILON_TEST_MAIN(SettingsTest)
#include "tst_settings.moc"
