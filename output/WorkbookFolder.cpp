#include "output/WorkbookFolder.h"

#include "base/RunTimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace output {

namespace {
constexpr int namesToTry = 1000;
constexpr mode_t handedOverMode = 0444;
const QString workbookPrefix = QStringLiteral("Parvilon results ");
const QString workbookSuffix = QStringLiteral(".xlsx");
const QString momentFormat = QStringLiteral("yyyy-MM-dd HH-mm-ss");

QString folderPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/Quorvane/Parvilon/workbooks");
}

// The moment a workbook's name gives, to the second; invalid for any other name.
QDateTime momentOfName(const QString& fileName) {
    if (!fileName.startsWith(workbookPrefix))
        return {};
    return QDateTime::fromString(fileName.mid(workbookPrefix.size(), momentFormat.size()),
                                 momentFormat);
}

// Whether nothing can have changed the workbook since it was handed over. The hand-over
// left it read-only for everyone and last changed exactly at the moment its name gives (a
// whole second): saving into it needs it made writable first, or gives it the time of that
// save (as root, or when an application replaces the file), so a workbook the user may have
// worked on never matches. A file system that keeps times coarser only keeps more.
bool unchangedSinceHandedOver(const QFileInfo& file) {
    struct stat status {};
    if (::lstat(QFile::encodeName(file.filePath()).constData(), &status) != 0)
        return false;
    const QDateTime moment = momentOfName(file.fileName());
    return (status.st_mode & 07777) == handedOverMode && moment.isValid() &&
           status.st_mtim.tv_sec == moment.toSecsSinceEpoch() && status.st_mtim.tv_nsec == 0;
}
} // namespace

QString workbookFolder() {
    const QString folder = folderPath();
    if (!QDir().mkpath(folder))
        throw base::RunTimeError(QStringLiteral("The folder %1 cannot be made.").arg(folder));
    // The workbooks hold the names and properties of the user's documents.
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return folder;
}

QString reserveWorkbookPath(const QDateTime& now) {
    const QString folder = workbookFolder();
    const QString stem = folder + QLatin1Char('/') + workbookPrefix + now.toString(momentFormat);
    for (int attempt = 1; attempt <= namesToTry; ++attempt) {
        const QString path = stem +
                             (attempt == 1 ? QString() : QStringLiteral(" (%1)").arg(attempt)) +
                             workbookSuffix;
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        if (!file.exists())
            throw base::RunTimeError(
                QStringLiteral("%1 cannot be made: %2").arg(path, file.errorString()));
    }
    throw base::RunTimeError(QStringLiteral("No free workbook name is left in %1.").arg(folder));
}

void handOverWorkbook(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    const QDateTime moment = momentOfName(QFileInfo(path).fileName());
    if (!moment.isValid())
        throw base::RunTimeError(QStringLiteral("%1 is not a workbook of the folder.").arg(path));
    const timespec times[2] = {{0, UTIME_OMIT}, {moment.toSecsSinceEpoch(), 0}};
    if (::utimensat(AT_FDCWD, file.constData(), times, 0) != 0 ||
        ::chmod(file.constData(), handedOverMode) != 0)
        throw base::RunTimeError(QStringLiteral("%1 cannot be made read-only: %2")
                                     .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
}

int removeOldWorkbooks(const QDateTime& now) {
    const QDateTime cutOff = now.addDays(-workbookKeepDays);
    int removed = 0;
    const QString anyMoment = workbookPrefix + QLatin1Char('*') + workbookSuffix;
    // What an export that never finished leaves: its reserved name still empty, or the
    // temporary file of its write (the name and six characters more).
    const QString unfinishedWrite = anyMoment + QStringLiteral(".??????");
    const QFileInfoList files =
        QDir(folderPath()).entryInfoList({anyMoment, unfinishedWrite}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files) {
        if (file.isSymLink() || file.lastModified() >= cutOff)
            continue;
        const bool unfinished = file.size() == 0 || !file.fileName().endsWith(workbookSuffix);
        if ((unfinished || unchangedSinceHandedOver(file)) && QFile::remove(file.filePath()))
            ++removed;
    }
    return removed;
}

} // namespace output
