// Output benchmark: a results table of 100,000 rows by 12 columns (paths of 60 to 120
// characters, values up to 80) in the program's own window (offscreen), then each way out
// timed (page counts and dates typed as a run writes them): the aligned text file, the clipboard
// text, the workbook. Prints each time, the longest gap between two turns of the event loop during
// it (the window repaints and answers clicks at those turns), and the program's peak memory.
// Targets: text under 1.5 s, clipboard under 1.5 s, workbook under 6 s, gaps under 100 ms,
// peak memory under 400 MB.
//
// Usage: bench_output [--rows N]
#include "base/ResultsModel.h"
#include "output/ClipboardCopy.h"
#include "output/SpreadsheetExport.h"
#include "output/TextSave.h"
#include "platform/DateTimeFormats.h"
#include "platform/PrivateTempFolder.h"
#include "platform/SpreadsheetApplication.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <sys/resource.h>

namespace {

QString randomText(QRandomGenerator& random, int minimum, int maximum) {
    static const QString letters =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -_");
    const int length = random.bounded(minimum, maximum + 1);
    QString text(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        text[i] = letters[random.bounded(static_cast<int>(letters.size()))];
    return text;
}

// A date as the table shows it: a document's with the long time, a file's with the short.
QString randomDate(QRandomGenerator& random, const QString& format) {
    const QDateTime moment =
        QDateTime(QDate(2000, 1, 1), QTime(0, 0)).addSecs(random.bounded(25 * 365 * 24 * 3600));
    return QLocale::system().toString(moment, format);
}

void fillTable(base::ResultsModel& table, int rows) {
    QRandomGenerator random(2026);
    const QLocale locale = QLocale::system();
    const QString documentDate = platform::shortDateFormatWithFullYear(locale) + QLatin1Char(' ') +
                                 platform::longTimeFormatWithoutZone(locale);
    const QString fileDate = platform::fileDateTimeFormat(locale);
    table.setHeaders({"Filename", "PDF Version", "Producer", "Creator", "Title", "Author",
                      "Subject", "Keywords", "Number Of Pages", "Date Modified", "Date Created",
                      "Date Accessed"});
    for (int row = 0; row < rows; ++row) {
        QStringList cells{QStringLiteral("/home/user/") + randomText(random, 45, 105) + ".pdf"};
        for (int column = 1; column < 8; ++column)
            cells.append(randomText(random, 0, 80));
        // Page counts and dates as a run writes them, so the workbook types them.
        cells << QString::number(random.bounded(1, 2000)) << randomDate(random, documentDate)
              << randomDate(random, documentDate) << randomDate(random, fileDate);
        const int at = table.appendRow(cells[0]);
        for (int column = 1; column < 12; ++column)
            table.setCell(at, column, cells[column]);
    }
    table.tickAll();
}

// Times an operation and the longest gap between turns of the event loop during it.
void measure(const char* name, const std::function<void()>& operation) {
    QElapsedTimer sinceTurn;
    qint64 longestGap = 0;
    QTimer turns;
    turns.setInterval(5);
    QObject::connect(&turns, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, sinceTurn.restart()); });
    QElapsedTimer clock;
    clock.start();
    sinceTurn.start();
    turns.start();
    operation();
    longestGap = std::max(longestGap, sinceTurn.elapsed());
    std::printf("%-10s %7.2f s   longest gap between event-loop turns %4lld ms\n", name,
                static_cast<double>(clock.nsecsElapsed()) / 1e9,
                static_cast<long long>(longestGap));
}

// A spreadsheet application that takes the workbook without showing it.
struct SilentSpreadsheet final : platform::SpreadsheetApplication {
    QString opened;
    bool isInstalled() override { return true; }
    bool open(const QString& path, QString&) override {
        opened = path;
        return true;
    }
};

double residentMegabytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * 4096 / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    testsupport::isolateEnvironment();
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype at = arguments.indexOf(QStringLiteral("--rows"));
    const int rows = at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toInt() : 100000;

    testsupport::ScriptedPrompts prompts;
    SilentSpreadsheet spreadsheet;
    platform::installSpreadsheetApplication(&spreadsheet);
    auto window = testsupport::makeMainWindow();
    window->show();
    fillTable(window->results(), rows);
    std::printf("%d rows by 12 columns: %.0f MB resident with the table\n", rows,
                residentMegabytes());

    QTemporaryDir folder;
    const QString textFile = folder.filePath(QStringLiteral("results.txt"));
    measure("text file", [&] {
        output::saveResultsText(window->results().snapshot(), textFile, output::TextForm::Aligned,
                                nullptr);
    });
    std::printf("           %.1f MB written, %.0f MB resident\n",
                static_cast<double>(QFileInfo(textFile).size()) / 1e6, residentMegabytes());
    measure("clipboard", [&] { window->controls().copyToClipboard->click(); });
    std::printf("           %.0f MB resident\n", residentMegabytes());
    measure("workbook", [&] { window->controls().saveWorkbook->click(); });
    std::printf("           %.1f MB workbook\n",
                static_cast<double>(QFileInfo(spreadsheet.opened).size()) / 1e6);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory of the program: %.0f MB\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    return prompts.errorReports().isEmpty() ? 0 : 1;
}
