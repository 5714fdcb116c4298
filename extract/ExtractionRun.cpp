#include "extract/ExtractionRun.h"

#include "app/BusyState.h"
#include "app/ClickHandler.h"
#include "app/ErrorReport.h"
#include "app/EventPump.h"
#include "app/Form1.h"
#include "app/PathHelpers.h"
#include "extract/Form2.h"
#include "extract/PdfVersion.h"
#include "extract/PropertySet.h"
#include "extract/ShellDetails.h"
#include "extract/ToolOutput.h"
#include "output/ResultsTable.h"
#include "platform/PaintPacer.h"
#include "platform/PrivateTempFolder.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>
#include <source_location>
#include <sys/stat.h>

namespace extract {

namespace {

// The tool is started for every listed file except one that exists but is no regular file
// (a FIFO or device named like a PDF could make it block). A missing file is left to the
// tool, which fails on it.
bool toolMayOpen(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) != 0 || S_ISREG(status.st_mode);
}

QByteArray fileContents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw app::RunTimeError(QStringLiteral("The tool output %1 cannot be read.").arg(path));
    return file.readAll();
}

class Run {
public:
    Run(app::Form1& window, RunLimits limits)
        : window(window), limits(limits), errors(QStringLiteral("Form1.PushButton3_Click")),
          privateFolder(platform::privateTempFolder()),
          outputFile(privateFolder + QStringLiteral("/result.txt")) {}

    void start();

private:
    // Fills the row of file i of n; false when the user stopped the run at its password.
    bool processFile(int i, int n);
    // The password for path: asked, or the answer given for all remaining files. Nothing
    // when the user chose to stop.
    std::optional<QString> passwordFor(const QString& path);
    // Runs the tool for path, leaving what it wrote in outputFile; why the file could not
    // be read (the tool failed or wrote nothing), or an empty text.
    QString runTool(const QString& path, const QString& password, int n);
    int columnOf(const QString& header) const {
        return output::ColumnIndexOf(window.ListView2, header);
    }

    app::Form1& window;
    RunLimits limits;
    app::ErrorReport errors;
    const QString privateFolder;
    const QString outputFile;
    // Why the tool cannot be started, once it has failed to: it is not tried again.
    QString toolUnusable;
    // The answer the user gave for all remaining files of this run; it lives no longer.
    std::optional<QString> passwordForAll;
    int unreadFiles = 0;
};

void Run::start() {
    if (window.ListView1->topLevelItemCount() == 0) {
        platform::prompts().message(QStringLiteral("No files added."));
        return;
    }
    if (privateFolder.isEmpty()) {
        // Without it the output file would be /result.txt, read and deleted for every file.
        errors.report(QStringLiteral("No private temporary folder can be made in %1, so no file "
                                     "can be read.")
                          .arg(QDir::tempPath()),
                      std::source_location::current().line());
        return;
    }
    std::optional<app::BusyScope> busy(&window);
    // The table grows by a row and the bar moves for every file: both are painted a few
    // times a second rather than per file.
    std::optional<platform::PaintPacer> pacedTable(window.ListView2);
    std::optional<platform::PaintPacer> pacedBar(std::in_place, window.ProgressBar1, 100);
    QStringList headers;
    headers = buildHeaderRow(errors);
    errors.step([&] { output::setHeaders(window.ListView2, headers); });
    errors.step([&] { window.ListView2->clear(); });
    // Rows added meanwhile are not part of this run.
    const int n = window.ListView1->topLevelItemCount();
    for (int i = 1; i <= n; ++i)
        if (!processFile(i, n))
            break; // as if the list ended here
    passwordForAll.reset();
    errors.step([&] { output::tickAllRows(window.ListView2); });
    pacedTable.reset();
    pacedBar.reset();
    busy.reset();
    window.ProgressBar1->setRawValue(0);
    window.ProgressBar1->setText(QStringLiteral("Progress Bar"));
    platform::prompts().message(QStringLiteral("Done.") + unreadFilesLine(unreadFiles));
}

QString Run::runTool(const QString& path, const QString& password, int n) {
    if (!toolUnusable.isEmpty())
        return toolUnusable;
    if (!toolMayOpen(path))
        return QStringLiteral("%1 is not a regular file.").arg(path);
    platform::TextProgressBar* bar = window.ProgressBar1;
    const ToolCommand command = buildToolCommand(toolPath(), path, password, outputFile);
    const ToolResult result = RunToolAndWait(command, bar, bar->text(), bar->rawValue(), n, limits);
    if (!result.started) {
        // Said once: every other file would fail the same way.
        toolUnusable = QStringLiteral("The tool %1 cannot be started: %2.")
                           .arg(command.program, result.problem);
        errors.report(toolUnusable, std::source_location::current().line());
        return toolUnusable;
    }
    if (result.exitCode == toolStopped) {
        // Stopped mid-way, it may have left half an output: the row keeps what it has.
        DeleteFileForced(outputFile);
        return QStringLiteral("The tool was stopped after %1 seconds.").arg(limits.maximumSeconds);
    }
    if (result.exitCode != 0)
        return result.problem.isEmpty()
                   ? QStringLiteral("The tool ended with exit code %1.").arg(result.exitCode)
                   : result.problem;
    if (!QFileInfo::exists(outputFile))
        return result.problem.isEmpty() ? QStringLiteral("The tool wrote no output.")
                                        : result.problem;
    return {};
}

std::optional<QString> Run::passwordFor(const QString& path) {
    if (passwordForAll)
        return passwordForAll;
    const platform::PasswordAnswer answer = platform::prompts().askPassword(
        QStringLiteral("Enter password for file (") + path +
            QStringLiteral("): \r\nNote: Leave this box blank if file is not password protected"),
        QStringLiteral("Input Password"));
    if (answer.choice == platform::PasswordAnswer::Choice::Stop)
        return std::nullopt;
    // Cancel means no password, for this file or, ticked, for all the rest.
    const QString password =
        answer.choice == platform::PasswordAnswer::Choice::Ok ? answer.password : QString();
    if (answer.forAllRemaining)
        passwordForAll = password;
    return password;
}

bool Run::processFile(int i, int n) {
    QString path;
    errors.step([&] {
        // The list cannot shrink while the window is busy; a row that is gone all the same
        // is skipped.
        if (const QTreeWidgetItem* item = window.ListView1->topLevelItem(i - 1))
            path = item->text(0);
    });
    if (path.isNull())
        return true;
    platform::TextProgressBar* bar = window.ProgressBar1;
    errors.step([&] {
        bar->setRawValue(i * 100 / n);
        bar->setText(QStringLiteral("Processing: ") + app::FileNameOf(path));
    });
    app::letEventsRun();
    app::showHourglass(&window);

    ShellDetails details;
    errors.step([&] { details = readShellDetails(path); });
    output::ResultRow row;
    errors.step([&] { row = output::ResultRow::append(window.ListView2, path); });
    const auto columnOf = [this](const QString& header) { return this->columnOf(header); };
    errors.step([&] { copyShellDetails(details, row, columnOf); });
    DeleteFileForced(outputFile);

    QString password;
    bool stopped = false;
    errors.step([&] {
        if (!window.Check1->isChecked())
            return;
        const std::optional<QString> given = passwordFor(path);
        stopped = !given;
        password = given.value_or(QString());
    });
    if (stopped) {
        // The file whose password was asked gets no row.
        errors.step([&] { row.remove(); });
        return false;
    }
    QString problem;
    errors.step([&] { problem = runTool(path, password, n); });
    // Whatever a tool that ended by itself wrote is read, as it always was; the row is
    // marked all the same when the tool failed.
    if (QFileInfo::exists(outputFile)) {
        const unsigned parseLine = std::source_location::current().line();
        errors.step([&] {
            parseToolOutput(
                fileContents(outputFile),
                {columnOf, [&row](int column, const QString& text) { row.setCell(column, text); },
                 [&](const QString& description) { errors.report(description, parseLine); }});
        });
    }
    DeleteFileForced(outputFile);
    if (!problem.isEmpty()) {
        ++unreadFiles;
        errors.step([&] { row.markUnread(problem); });
    }
    errors.step([&] {
        if (const int column = columnOf(versionHeader); column > 0)
            row.setCell(column, readPdfVersion(path));
    });
    return true;
}

} // namespace

QString unreadFilesLine(int unreadFiles) {
    if (unreadFiles == 0)
        return {};
    return unreadFiles == 1 ? QStringLiteral("\r\n1 file could not be read.")
                            : QStringLiteral("\r\n%1 files could not be read.").arg(unreadFiles);
}

void DeleteFileForced(const QString& path) {
    app::letEventsRun();
    if (QFile::remove(path) || !QFileInfo::exists(path))
        return;
    // A file that is read-only to us: make it writable and try again.
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
    QFile::remove(path);
}

void PushButton3_Click(app::Form1& window, RunLimits limits) {
    // A second start while a run (or any long operation) is going is refused.
    if (app::isBusy(&window))
        return;
    Run(window, limits).start();
}

void attachExtraction(app::Form1& window) {
    app::onClick(window.PushButton3, window, [](app::Form1& form) { PushButton3_Click(form); });
    app::onClick(window.PushButton6, window, PushButton6_Click);
}

} // namespace extract
