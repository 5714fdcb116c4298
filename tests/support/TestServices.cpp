#include "tests/support/TestServices.h"

#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testsupport {

bool RecordingClipboard::clear() {
    ++calls;
    if (refusals > 0) {
        --refusals;
        return false;
    }
    holdsText = false;
    text.clear();
    html.clear();
    return true;
}

bool RecordingClipboard::setText(const QByteArray& utf8) {
    ++calls;
    if (refusals > 0) {
        --refusals;
        return false;
    }
    holdsText = true;
    text = utf8;
    html.clear();
    return true;
}

bool RecordingClipboard::setTextAndHtml(const QByteArray& utf8, const QString& givenHtml) {
    if (!setText(utf8))
        return false;
    html = givenHtml;
    return true;
}

bool RecordingShell::openFolder(const QString& folder) {
    opened.append(folder);
    return canOpen;
}

bool RecordingShell::openFile(const QString& path) {
    openedFiles.append(path);
    return canOpen;
}

bool RecordingSpreadsheet::open(const QString& path, QString& error) {
    opened.append(path);
    if (!canOpen)
        error = QStringLiteral("No application could open %1.").arg(path);
    return canOpen;
}

TestFolders::TestFolders() = default;

TestFolders::TestFolders(const QString& programFolder) : givenProgramFolder(programFolder) {}

QString TestFolders::programFolder() const {
    return givenProgramFolder.isEmpty() ? ownProgramFolder.path() : givenProgramFolder;
}

QString TestFolders::privateTempFolder() {
    if (temporaryFolderFails)
        return {};
    if (!temporary)
        temporary = std::make_unique<QTemporaryDir>();
    return temporary->path();
}

void TestFolders::addSideFile(const QString& name) {
    QFile::copy(sourceDir() + QStringLiteral("/assets/") + name,
                programFolder() + QLatin1Char('/') + name);
}

void TestFolders::writeFile(const QString& relativePath, const QByteArray& content) {
    const QString target = programFolder() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(target).path());
    QFile file(target);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

TestServices::TestServices() = default;

TestServices::TestServices(const QString& programFolder) : folders(programFolder) {}

} // namespace testsupport
