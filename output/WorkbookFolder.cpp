#include "output/WorkbookFolder.h"

#include "base/RunTimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace output {

namespace {
constexpr int namesToTry = 1000;
const QString workbookPrefix = QStringLiteral("Parvilon results ");
const QString workbookSuffix = QStringLiteral(".xlsx");

QString folderPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/Quorvane/Parvilon/workbooks");
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
    const QString stem = folder + QLatin1Char('/') + workbookPrefix +
                         now.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
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

int removeOldWorkbooks(const QDateTime& now) {
    const QDateTime cutOff = now.addDays(-workbookKeepDays);
    int removed = 0;
    const QFileInfoList files =
        QDir(folderPath())
            .entryInfoList({workbookPrefix + QLatin1Char('*') + workbookSuffix},
                           QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files)
        if (!file.isSymLink() && file.lastModified() < cutOff && QFile::remove(file.filePath()))
            ++removed;
    return removed;
}

} // namespace output
