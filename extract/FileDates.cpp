#include "extract/FileDates.h"

#include <QElapsedTimer>

#include <algorithm>
#include <ctime>

namespace extract {

namespace {

// The stamp on the local clock. The time zone is looked up once per file (tzset) rather than
// by QDateTime for every stamp, a file-system call each time.
std::optional<base::DateTimeValue> localDateTime(const struct statx_timestamp& stamp) {
    const auto seconds = static_cast<time_t>(stamp.tv_sec);
    struct tm local {};
    if (::localtime_r(&seconds, &local) == nullptr)
        return std::nullopt;
    base::DateTimeValue moment;
    moment.kind = base::DateTimeValue::Kind::FileDateTime;
    moment.date = QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    moment.time = QTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59),
                        static_cast<int>(stamp.tv_nsec / 1000000));
    moment.offsetSeconds = static_cast<int>(local.tm_gmtoff);
    return moment;
}

} // namespace

FileDates fileDatesOf(const platform::FileEntry& entry) {
    if (!entry.found)
        return {};
    // The time zone is looked up again at most once a second: each lookup reads the zone's
    // file, and a change shows within the second.
    thread_local QElapsedTimer sinceZoneRead;
    if (!sinceZoneRead.isValid() || sinceZoneRead.elapsed() >= 1000) {
        ::tzset();
        sinceZoneRead.start();
    }
    FileDates dates;
    dates.modified = localDateTime(entry.status.stx_mtime);
    dates.accessed = localDateTime(entry.status.stx_atime);
    if (entry.hasBirthTime())
        dates.created = localDateTime(entry.status.stx_btime);
    return dates;
}

} // namespace extract
