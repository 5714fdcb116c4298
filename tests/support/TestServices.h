#pragma once

#include "base/Services.h"
#include "platform/Clipboard.h"
#include "platform/DesktopShell.h"
#include "platform/Folders.h"
#include "platform/SpreadsheetApplication.h"
#include "tests/support/ScriptedPrompts.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace testsupport {

// A clipboard that keeps what it is given, and refuses as often as told.
class RecordingClipboard final : public platform::Clipboard {
public:
    bool clear() override;
    bool setText(const QByteArray& utf8) override;
    bool setTextAndHtml(const QByteArray& utf8, const QString& html) override;
    QByteArray text;
    QString html;
    bool holdsText = false;
    int refusals = 0; // the next calls refused
    int calls = 0;
};

// A shell that records the folders and files it is asked to open, and opens them or not as
// told.
class RecordingShell final : public platform::DesktopShell {
public:
    bool openFolder(const QString& folder) override;
    bool openFile(const QString& path) override;
    QStringList opened;
    QStringList openedFiles;
    bool canOpen = true;
};

// A spreadsheet application that records the workbooks it is asked to show.
class RecordingSpreadsheet final : public platform::SpreadsheetApplication {
public:
    bool isInstalled() override { return installed; }
    bool open(const QString& path, QString& error) override;
    bool installed = true;
    bool canOpen = true;
    QStringList opened;
};

// The folders of a test: a program folder of its own (empty unless the test adds side files)
// or a given one (the build folder, with the real tool and samples), and a private temporary
// folder of its own, which can be made to fail.
class TestFolders final : public platform::Folders {
public:
    TestFolders();
    explicit TestFolders(const QString& programFolder);
    QString programFolder() const override;
    QString privateTempFolder() override;

    // Copies a side file from the source tree's assets folder into the program folder.
    void addSideFile(const QString& name);
    // Writes a file of the given content below the program folder.
    void writeFile(const QString& relativePath, const QByteArray& content);
    // No private temporary folder can be made.
    bool temporaryFolderFails = false;

private:
    QTemporaryDir ownProgramFolder;
    QString givenProgramFolder;
    std::unique_ptr<QTemporaryDir> temporary;
};

// The services a test hands to what it tests: its scripted prompts (also the error channel)
// and doubles of every other service.
class TestServices {
public:
    TestServices();
    explicit TestServices(const QString& programFolder);
    base::Services services() { return {prompts, clipboard, shell, spreadsheet, folders, prompts}; }

    ScriptedPrompts prompts;
    RecordingClipboard clipboard;
    RecordingShell shell;
    RecordingSpreadsheet spreadsheet;
    TestFolders folders;
};

} // namespace testsupport
