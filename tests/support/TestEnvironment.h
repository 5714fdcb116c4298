#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// Gives the test process settings, runtime and cache folders of its own, so no test ever
// touches the real user's settings. Call before the application object exists.
void isolateEnvironment();

// Removes every stored setting of the program.
void clearSettings();

// The whole settings file as the store wrote it.
QString settingsFileText();

// A program folder of the test's own, with the side files it asks for copied in from the
// source tree; the program looks there until the object is destroyed.
class ProgramFolder {
public:
    ProgramFolder();
    ~ProgramFolder();
    QString path() const { return folder.path(); }
    // Copies a side file from the source tree's assets folder.
    void addSideFile(const QString& name);
    // Writes a file of the given content below the program folder.
    void writeFile(const QString& relativePath, const QByteArray& content);

private:
    QTemporaryDir folder;
};

// The project's source folder.
QString sourceDir();

} // namespace testsupport
