#include "platform/FolderDetails.h"

#include "platform/DateTimeFormats.h"

#include <QDateTime>
#include <QFile>
#include <QMimeDatabase>

#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {

enum Column { Name = 0, Size = 1, Type = 2, Modified = 3, Created = 4, Accessed = 5 };

QDateTime fromStatx(const struct statx_timestamp& stamp) {
    return QDateTime::fromMSecsSinceEpoch(stamp.tv_sec * 1000 + stamp.tv_nsec / 1000000);
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

QStringList FolderDetails::detailsOf(const QString& path, const QLocale& locale, Wanted wanted) {
    struct statx status {};
    const QByteArray encoded = QFile::encodeName(path);
    if (path.isEmpty() ||
        ::statx(AT_FDCWD, encoded.constData(), 0,
                STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_ATIME | STATX_BTIME, &status) != 0)
        return {};
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
    details[Modified] = locale.toString(fromStatx(status.stx_mtime), format);
    details[Accessed] = locale.toString(fromStatx(status.stx_atime), format);
    if (status.stx_mask & STATX_BTIME)
        details[Created] = locale.toString(fromStatx(status.stx_btime), format);
    return details;
}

} // namespace platform
