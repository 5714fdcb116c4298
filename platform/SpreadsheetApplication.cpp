#include "platform/SpreadsheetApplication.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {

const QString workbookType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");

QString officeProgram() {
    for (const char* name : {"soffice", "libreoffice", "localc"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

// The desktop file of the desktop's default application for workbooks, if any.
QString defaultWorkbookHandler() {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return {};
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), workbookType});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished();
        return {};
    }
    return QString::fromUtf8(query.readAllStandardOutput()).trimmed();
}

} // namespace

bool DesktopSpreadsheet::isInstalled() {
    return !officeProgram().isEmpty() || !defaultWorkbookHandler().isEmpty();
}

bool DesktopSpreadsheet::open(const QString& path, QString& error) {
    const QString office = officeProgram();
    // -n opens the file as a template: a new untitled document, saved wherever the user
    // chooses.
    if (!office.isEmpty() &&
        QProcess::startDetached(office, {QStringLiteral("--calc"), QStringLiteral("-n"), path}))
        return true;
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return true;
    error = QStringLiteral("No application could open %1.").arg(path);
    return false;
}

} // namespace platform
