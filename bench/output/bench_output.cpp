// Output benchmark: a results table of 100,000 rows by 12 columns (paths of 60 to 120
// characters, values up to 80, page counts as numbers and dates as date-time values, as a
// run fills them), shown in a list view (offscreen), then each way out written as the window
// writes it: the snapshot taken, the output function run in a base::BackgroundWork while
// the event loop turns, and the clipboard's text handed to the clipboard afterwards. Prints
// each time, the longest gap between two turns of the event loop during it (the window
// repaints and answers clicks at those turns), and the program's peak memory.
// Targets: text and clipboard at most 0.5 s, workbook at most 3 s, JSON under 1.5 s, gaps at
// most 50 ms, peak memory under 400 MB; each time and gap is printed with its verdict.
// With --audit, the further eleven properties are columns too, filled as an audit fills them.
//
// Usage: bench_output [--rows N] [--audit] [--only text|clipboard|workbook|JSON]
// --only times one way out alone (to profile it).
#include "base/BackgroundWork.h"
#include "base/ResultsModel.h"
#include "output/AlignedText.h"
#include "output/ClipboardCopy.h"
#include "output/JsonSave.h"
#include "output/TextSave.h"
#include "output/TextTable.h"
#include "output/WorkbookExport.h"
#include "platform/Clipboard.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <functional>
#include <memory>
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

// A moment of the last 25 years: a document's with its own offset, a file's on this clock.
base::CellValue randomDate(QRandomGenerator& random, base::DateTimeValue::Kind kind) {
    const QDateTime moment =
        QDateTime(QDate(2000, 1, 1), QTime(0, 0)).addSecs(random.bounded(25 * 365 * 24 * 3600));
    base::DateTimeValue value;
    value.kind = kind;
    value.date = moment.date();
    value.time = moment.time();
    value.offsetSeconds = kind == base::DateTimeValue::Kind::FileDateTime
                              ? moment.offsetFromUtc()
                              : 3600 * random.bounded(-11, 13);
    return base::CellValue::dateTime(value);
}

// The values of the further properties, as an audit of typical documents gives them.
void fillAuditCells(base::ResultsModel& table, int at, QRandomGenerator& random) {
    using Method = base::EncryptionValue::Method;
    table.setCell(at, 12, base::CellValue::byteCount(random.bounded(1000, 50000000)));
    table.setCell(at, 13, base::CellValue::pageSize({595.276, 841.89, random.bounded(10) == 0}));
    table.setCell(at, 14,
                  base::CellValue::encryption({static_cast<Method>(random.bounded(5)), false}));
    table.setCell(at, 15, base::CellValue::boolean(random.bounded(2) == 1));
    table.setCell(at, 16, random.bounded(2) == 0 ? QStringLiteral("en-GB") : QString());
    table.setCell(at, 17, random.bounded(4) == 0 ? QStringLiteral("PDF/A-2b") : QString());
    table.setCell(at, 18, base::CellValue::boolean(random.bounded(2) == 1));
    table.setCell(at, 19, base::CellValue::form(base::FormKind::None));
    table.setCell(at, 20, base::CellValue::boolean(false));
    table.setCell(at, 21, base::CellValue::integer(random.bounded(3)));
    table.setCell(at, 22, base::CellValue::integer(0));
}

void fillTable(base::ResultsModel& table, int rows, bool audit) {
    using Kind = base::DateTimeValue::Kind;
    QRandomGenerator random(2026);
    base::Columns every;
    for (const base::PropertyInfo& property : base::properties())
        if (audit || property.group == base::Group::Described)
            every.append(property.id);
    table.setColumns(every);
    for (int row = 0; row < rows; ++row) {
        const int at =
            table.appendRow(QStringLiteral("/home/user/") + randomText(random, 45, 105) + ".pdf");
        for (int column = 1; column < 8; ++column)
            table.setCell(at, column, randomText(random, 0, 80));
        table.setCell(at, 8, base::CellValue::integer(random.bounded(1, 2000)));
        table.setCell(at, 9, randomDate(random, Kind::DocumentDateTime));
        table.setCell(at, 10, randomDate(random, Kind::DocumentDateTime));
        table.setCell(at, 11, randomDate(random, Kind::FileDateTime));
        if (audit)
            fillAuditCells(table, at, random);
    }
    table.tickAll();
}

// Times one way out as the window runs it: prepare on the event loop's thread (taking the
// snapshot) gives the work, which runs in a thread of its own; finish runs on the loop's
// thread once it has ended. Prints the time and the longest gap between turns of the loop.
// The way out --only names; empty for all.
QString onlyWay;

bool measure(
    const char* name, double targetSeconds,
    const std::function<std::unique_ptr<base::BackgroundWork>()>& prepare,
    const std::function<bool()>& finish = [] { return true; }) {
    if (!onlyWay.isEmpty() && !QString::fromLatin1(name).startsWith(onlyWay))
        return true;
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

    const std::unique_ptr<base::BackgroundWork> work = prepare();
    QEventLoop loop;
    int progressShown = 0;
    bool succeeded = false;
    QObject::connect(work.get(), &base::BackgroundWork::progress, [&] { ++progressShown; });
    QObject::connect(work.get(), &base::BackgroundWork::finished, [&](const base::Status& result) {
        if (!result.ok())
            std::fprintf(stderr, "%s failed: %s\n", name, qUtf8Printable(result.error()));
        succeeded = result.ok() && finish();
        loop.quit();
    });
    work->start();
    loop.exec();
    longestGap = std::max(longestGap, sinceTurn.elapsed());
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    constexpr qint64 longestGapAllowed = 50;
    std::printf("%-10s %7.2f s (target at most %.1f s: %s)   longest gap between event-loop "
                "turns %4lld ms (target at most %lld ms: %s)   (%d progress updates shown)\n",
                name, seconds, targetSeconds, seconds <= targetSeconds ? "met" : "MISSED",
                static_cast<long long>(longestGap), static_cast<long long>(longestGapAllowed),
                longestGap <= longestGapAllowed ? "met" : "MISSED", progressShown);
    return succeeded;
}

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

    const bool audit = arguments.contains(QStringLiteral("--audit"));
    if (const qsizetype only = arguments.indexOf(QStringLiteral("--only")); only >= 0)
        onlyWay = arguments.value(only + 1);
    base::ResultsModel results;
    fillTable(results, rows, audit);
    QTreeView view; // the table as the window shows it, painted at the loop's turns
    view.setModel(&results);
    view.resize(1000, 400);
    view.show();
    QCoreApplication::processEvents();
    std::printf("%d rows by %d columns: %.0f MB resident with the table\n", rows,
                results.columnCount(), residentMegabytes());

    const QLocale locale;
    QTemporaryDir folder;
    QTemporaryDir scratch;
    bool allWritten = true;

    const QString textFile = folder.filePath(QStringLiteral("results.txt"));
    allWritten &= measure("text file", 0.5, [&] {
        return std::make_unique<base::BackgroundWork>(
            [snapshot = results.snapshot(), textFile, locale](base::BackgroundWork::Context& work) {
                return output::saveResultsText(snapshot, textFile, output::TextForm::Aligned,
                                               locale, &work.progress, &work.stop);
            });
    });
    std::printf("           %.1f MB written, %.0f MB resident\n",
                static_cast<double>(QFileInfo(textFile).size()) / 1e6, residentMegabytes());

    platform::DesktopClipboard clipboard;
    auto text = std::make_shared<QByteArray>();
    allWritten &= measure(
        "clipboard", 0.5,
        [&] {
            return std::make_unique<base::BackgroundWork>(
                [snapshot = results.snapshot(), locale, text](base::BackgroundWork::Context& work) {
                    *text = output::clipboardText(output::TextTable(snapshot, locale, &work.stop));
                    return base::Status::success();
                });
        },
        [&] { return output::putOnClipboard(clipboard, *text); });
    std::printf("           %.1f MB of text, %.0f MB resident\n",
                static_cast<double>(text->size()) / 1e6, residentMegabytes());
    text.reset();

    const QString workbook = folder.filePath(QStringLiteral("results.xlsx"));
    allWritten &= measure("workbook", 3.0, [&] {
        return std::make_unique<base::BackgroundWork>(
            [snapshot = results.snapshot(), workbook, scratchFolder = scratch.path(),
             locale](base::BackgroundWork::Context& work) {
                return output::writeResultsWorkbook(snapshot, workbook, scratchFolder, locale,
                                                    &work.progress, &work.stop);
            });
    });
    std::printf("           %.1f MB workbook\n",
                static_cast<double>(QFileInfo(workbook).size()) / 1e6);

    const QString jsonFile = folder.filePath(QStringLiteral("results.json"));
    allWritten &= measure("JSON", 1.5, [&] {
        return std::make_unique<base::BackgroundWork>(
            [snapshot = results.snapshot(), jsonFile](base::BackgroundWork::Context& work) {
                return output::saveResultsJson(snapshot, jsonFile, &work.progress, &work.stop);
            });
    });
    std::printf("           %.1f MB written, %.0f MB resident\n",
                static_cast<double>(QFileInfo(jsonFile).size()) / 1e6, residentMegabytes());

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory of the program: %.0f MB\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    return allWritten ? 0 : 1;
}
