#include "platform/FolderDetails.h"

#include "platform/DateTimeFormats.h"
#include "platform/FileNames.h"

#include <QDateTime>
#include <QMimeDatabase>

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {

enum Column { Name = 0, Size = 1, Type = 2, Modified = 3, Created = 4, Accessed = 5 };

// Whether the format shows the time zone ('t' outside quoted text).
bool showsZone(const QString& format) {
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('t'))
            return true;
    }
    return false;
}

// The stamp in local time, as text. The caller looks the time zone up once per file
// (tzset): QDateTime's local time looks it up again for every stamp, a file-system call
// each time and most of the cost of a file's dates. The local time carries its own offset,
// which is right for each stamp, summer or winter; only a format that shows the zone's
// name needs QDateTime's local time.
QString localTimeText(const struct statx_timestamp& stamp, const QLocale& locale,
                      const QString& format, bool zoneShown) {
    const qint64 msecs = stamp.tv_sec * 1000 + stamp.tv_nsec / 1000000;
    const auto seconds = static_cast<time_t>(stamp.tv_sec);
    struct tm local {};
    if (zoneShown || ::localtime_r(&seconds, &local) == nullptr)
        return locale.toString(QDateTime::fromMSecsSinceEpoch(msecs), format);
    const QDateTime time(QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                         QTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59),
                               static_cast<int>(stamp.tv_nsec / 1000000)),
                         Qt::OffsetFromUTC, static_cast<int>(local.tm_gmtoff));
    return locale.toString(time, format);
}

} // namespace

const QStringList& FolderDetails::titles() {
    static const QStringList table = [] {
        QStringList columns(columnCount);
        columns[Name] = QStringLiteral("Name");
        columns[Size] = QStringLiteral("Size");
        columns[Type] = QStringLiteral("Type");
        columns[Modified] = QStringLiteral("Date Modified");
        columns[Created] = QStringLiteral("Date Created");
        columns[Accessed] = QStringLiteral("Date Accessed");
        columns[9] = QStringLiteral("Attributes");
        columns[10] = QStringLiteral("Owner");
        columns[20] = QStringLiteral("Author");
        columns[21] = QStringLiteral("Title");
        columns[22] = QStringLiteral("Subject");
        columns[18] = QStringLiteral("Keywords");
        return columns;
    }();
    return table;
}

FolderDetails::Entry FolderDetails::lookUp(const QString& path) {
    Entry entry;
    entry.found = !path.isEmpty() &&
                  ::statx(AT_FDCWD, encodeFileName(path).constData(), 0,
                          STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_ATIME | STATX_BTIME,
                          &entry.status) == 0;
    return entry;
}

QStringList FolderDetails::detailsOf(const QString& path, const QLocale& locale, Wanted wanted) {
    return detailsOf(path, lookUp(path), locale, wanted);
}

QStringList FolderDetails::detailsOf(const QString& path, const Entry& entry, const QLocale& locale,
                                     Wanted wanted) {
    if (!entry.found)
        return {};
    const struct statx& status = entry.status;
    QStringList details(columnCount);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    details[Name] = path.mid(slash + 1);
    if (wanted == Wanted::All) {
        details[Size] = locale.formattedDataSize(static_cast<qint64>(status.stx_size));
        details[Type] =
            S_ISDIR(status.stx_mode)
                ? QStringLiteral("Folder")
                : QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).comment();
    }
    const QString format = fileDateTimeFormat(locale);
    const bool zoneShown = showsZone(format);
    ::tzset(); // a change of the time zone shows from the next file on
    details[Modified] = localTimeText(status.stx_mtime, locale, format, zoneShown);
    details[Accessed] = localTimeText(status.stx_atime, locale, format, zoneShown);
    if (status.stx_mask & STATX_BTIME)
        details[Created] = localTimeText(status.stx_btime, locale, format, zoneShown);
    return details;
}

} // namespace platform
