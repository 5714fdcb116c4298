#include "filelist/PendingRows.h"

#include "base/EventPump.h"
#include "base/FileListModel.h"

namespace filelist {

namespace {
// Often enough for rows to appear smoothly, rarely enough that laying out a long list
// again stays a small part of the work.
constexpr qint64 flushIntervalMs = 100;
// The most rows that go in at once, so a very large folder does not hold up the window.
constexpr qsizetype rowsPerInsertion = 10000;
} // namespace

PendingRows::PendingRows(base::FileListModel& model) : files(model) {
    sinceFlush.start();
}

void PendingRows::add(const QStringList& rows) {
    queued.append(rows);
    if (sinceFlush.elapsed() >= flushIntervalMs || queued.size() >= rowsPerInsertion)
        flush();
}

void PendingRows::flush() {
    const QStringList rows = std::exchange(queued, {});
    for (qsizetype start = 0; start < rows.size(); start += rowsPerInsertion) {
        if (start > 0)
            base::letEventsRun();
        files.append(rows.mid(start, rowsPerInsertion));
    }
    sinceFlush.start();
}

} // namespace filelist
