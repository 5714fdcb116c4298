#include "base/CellText.h"
#include "extract/PdfDate.h"
#include "tests/support/TestMain.h"

using extract::readPdfDate;

namespace {
// A date as the table shows it in a locale.
QString shown(const extract::PdfDateReading& reading, const QString& locale) {
    return base::cellText(base::CellValue::dateTime(reading.moment), QLocale(locale));
}
} // namespace

class PdfDateTest : public QObject {
    Q_OBJECT
private slots:
    void datesCarryOverflow_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<QDate>("date");
        QTest::newRow("plain") << 2021 << 8 << 31 << QDate(2021, 8, 31);
        QTest::newRow("month 13") << 2021 << 13 << 1 << QDate(2022, 1, 1);
        QTest::newRow("month 25") << 2021 << 25 << 1 << QDate(2023, 1, 1);
        QTest::newRow("month 0") << 2021 << 0 << 15 << QDate(2020, 12, 15);
        QTest::newRow("day 0") << 2021 << 3 << 0 << QDate(2021, 2, 28);
        QTest::newRow("day 0 leap year") << 2020 << 3 << 0 << QDate(2020, 2, 29);
        QTest::newRow("day 32") << 2021 << 1 << 32 << QDate(2021, 2, 1);
        QTest::newRow("day 99") << 2021 << 12 << 99 << QDate(2022, 3, 9);
        QTest::newRow("month 0 day 0") << 2021 << 0 << 0 << QDate(2020, 11, 30);
    }
    void datesCarryOverflow() {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(QDate, date);
        QCOMPARE(extract::carriedDate(year, month, day), date);
    }

    void timesCarryOverflow() {
        QCOMPARE(extract::carriedTime(14, 30, 5), QTime(14, 30, 5));
        QCOMPARE(extract::carriedTime(25, 0, 0), QTime(1, 0, 0));
        QCOMPARE(extract::carriedTime(23, 59, 60), QTime(0, 0, 0));
        QCOMPARE(extract::carriedTime(10, 61, 0), QTime(11, 1, 0));
        QCOMPARE(extract::carriedTime(0, 0, -1), QTime(23, 59, 59));
        QCOMPARE(extract::carriedTime(99, 99, 99), QTime(4, 40, 39));
    }

    void pdfDatesInTheUserLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("US date and time, zone ignored") << "en_US"
                                                        << "D:20210831143005+02'00'"
                                                        << "8/31/2021 2:30:05 PM";
        QTest::newRow("US date alone") << "en_US"
                                       << "D:20210831"
                                       << "8/31/2021";
        QTest::newRow("month 13") << "en_US"
                                  << "D:20211301"
                                  << "1/1/2022";
        QTest::newRow("Z zone") << "en_US"
                                << "D:19991231235959Z"
                                << "12/31/1999 11:59:59 PM";
        QTest::newRow("morning") << "en_US"
                                 << "D:20010203040506"
                                 << "2/3/2001 4:05:06 AM";
        QTest::newRow("German") << "de_DE"
                                << "D:20210831143005+02'00'"
                                << "31.08.2021 14:30:05";
        QTest::newRow("British") << "en_GB"
                                 << "D:20210831"
                                 << "31/08/2021";
        QTest::newRow("Japanese") << "ja_JP"
                                  << "D:20210831143005"
                                  << "2021/08/31 14時30分05秒";
        QTest::newRow("no D: prefix is still read by position") << "en_US"
                                                                << "xx20210831"
                                                                << "8/31/2021";
        QTest::newRow("a date without its D:") << "en_US"
                                               << "20251120094505+00'00"
                                               << "11/20/2025 9:45:05 AM";
        QTest::newRow("a day without its D:") << "en_US"
                                              << "20251120"
                                              << "11/20/2025";
    }
    void pdfDatesInTheUserLocale() {
        QFETCH(QString, locale);
        QFETCH(QString, value);
        QFETCH(QString, text);
        const extract::PdfDateReading read = readPdfDate(value).value();
        QCOMPARE(shown(read, locale), text);
        QVERIFY(read.timeError.isEmpty());
    }

    // The zone part is kept as the clock's offset; the time is never moved by it.
    void zonesGiveTheOffset_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("offset"); // -1: none
        QTest::newRow("east") << "D:20210831143005+02'00'" << 7200;
        QTest::newRow("west, minutes") << "D:20210831143005-05'30'" << -19800;
        QTest::newRow("no quotes") << "D:20210831143005+0530" << 19800;
        QTest::newRow("hours alone") << "D:20210831143005-03" << -10800;
        QTest::newRow("UTC") << "D:20210831143005Z" << 0;
        QTest::newRow("without D:") << "20210831143005-01'00" << -3600;
        QTest::newRow("none") << "D:20210831143005" << -1;
        QTest::newRow("not a zone") << "D:20210831143005+xx" << -1;
    }
    void zonesGiveTheOffset() {
        QFETCH(QString, value);
        QFETCH(int, offset);
        const base::DateTimeValue moment = readPdfDate(value).value().moment;
        QCOMPARE(moment.offsetSeconds.value_or(-1), offset);
        QCOMPARE(moment.time, QTime(14, 30, 5));
    }

    void anUnreadableTimeLeavesTheDateAlone_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("hours only") << "D:2021083114";
        QTest::newRow("letters in the minutes") << "D:2021083114xx05";
        QTest::newRow("one more character") << "D:20210831Z";
    }
    void anUnreadableTimeLeavesTheDateAlone() {
        QFETCH(QString, value);
        const extract::PdfDateReading read = readPdfDate(value).value();
        QCOMPARE(shown(read, QStringLiteral("en_US")), QStringLiteral("8/31/2021"));
        QVERIFY(!read.timeError.isEmpty());
    }

    void anUnreadableDateIsAnError_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << "";
        QTest::newRow("too short") << "D:2021";
        QTest::newRow("garbage") << "yesterday afternoon";
        QTest::newRow("blank inside") << "D:2021 831";
        QTest::newRow("signs") << "D:+2021-08";
        QTest::newRow("non-ASCII digits") << QString::fromUtf8("D:٢٠٢١0831");
        QTest::newRow("year 0") << "D:00000101";
        QTest::newRow("too short without D:") << "2021";
    }
    void anUnreadableDateIsAnError() {
        QFETCH(QString, value);
        QVERIFY(!readPdfDate(value).ok());
    }
};

PARVILON_TEST_MAIN(PdfDateTest)
#include "tst_pdfdate.moc"
