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
          outputFile(platform::privateTempFolder() + QStringLiteral("/result.txt")) {}

    void start();

private:
    void processFile(int i, int n);
    int columnOf(const QString& header) const {
        return output::ColumnIndexOf(window.ListView2, header);
    }

    app::Form1& window;
    RunLimits limits;
    app::ErrorReport errors;
    const QString outputFile;
};

void Run::start() {
    if (window.ListView1->topLevelItemCount() == 0) {
        platform::prompts().message(QStringLiteral("No files added."));
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
        processFile(i, n);
    errors.step([&] { output::tickAllRows(window.ListView2); });
    pacedTable.reset();
    pacedBar.reset();
    busy.reset();
    window.ProgressBar1->setRawValue(0);
    window.ProgressBar1->setText(QStringLiteral("Progress Bar"));
    platform::prompts().message(QStringLiteral("Done."));
}

void Run::processFile(int i, int n) {
    QString path;
    errors.step([&] {
        // The list cannot shrink while the window is busy; a row that is gone all the same
        // is skipped.
        if (const QTreeWidgetItem* item = window.ListView1->topLevelItem(i - 1))
            path = item->text(0);
    });
    if (path.isNull())
        return;
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
    errors.step([&] {
        if (!window.Check1->isChecked())
            return;
        password = platform::prompts().inputBox(
            QStringLiteral("Enter password for file (") + path +
                QStringLiteral("): \r\nNote: Leave this box blank if file is not password protected"),
            QStringLiteral("Input Password"), QString(), true);
    });
    ToolCommand command;
    errors.step([&] { command = buildToolCommand(toolPath(), path, password, outputFile); });
    errors.step([&] {
        if (!toolMayOpen(path))
            return;
        const int result = RunToolAndWait(command, bar, bar->text(), bar->rawValue(), n, limits);
        // A tool stopped mid-way may have left half an output: the row keeps what it has.
        if (result == toolStopped)
            DeleteFileForced(outputFile);
    });

    if (QFileInfo::exists(outputFile)) {
        const unsigned parseLine = std::source_location::current().line();
        errors.step([&] {
            parseToolOutput(fileContents(outputFile),
                            {columnOf, [&row](int column, const QString& text) { row.setCell(column, text); },
                             [&](const QString& description) { errors.report(description, parseLine); }});
        });
        DeleteFileForced(outputFile);
    }
    errors.step([&] {
        if (const int column = columnOf(versionHeader); column > 0)
            row.setCell(column, readPdfVersion(path));
    });
}

} // namespace

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
