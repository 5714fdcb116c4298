// The run of the main window: "3. Start Extracting".
#include "app/MainWindow.h"
#include "base/ErrorReport.h"
#include "extract/ExtractionRun.h"
#include "extract/ToolCommand.h"
#include "gui/PaintPacer.h"
#include "gui/TextProgressBar.h"
#include "platform/Folders.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QTreeView>

namespace app {

namespace {
// The final box names this many of the files that could not be read.
constexpr int unreadFilesNamed = 10;
} // namespace

void MainWindow::startExtraction(const base::ErrorReport& errors) {
    // A second start while anything goes on is refused.
    if (isBusy())
        return;
    if (files.count() == 0) {
        errors.step([this] { services.prompts.message(QStringLiteral("No files added.")); });
        return;
    }
    const QString temporaryFolder = services.folders.privateTempFolder();
    if (temporaryFolder.isEmpty()) {
        // Without it the output file would be /result.txt, read and deleted for every file.
        errors.report(QStringLiteral("No private temporary folder can be made in %1, so no file "
                                     "can be read.")
                          .arg(QDir::tempPath()));
        return;
    }
    extract::RunOptions options;
    options.askForPasswords = [this] { return ui.askForPasswords->isChecked(); };
    options.limits = runLimits;
    options.parallelTools = parallelTools;
    options.processPerFile = processPerFile;
    options.toolPath = extract::toolPath(services.folders.programFolder());
    options.temporaryFolder = temporaryFolder;
    const base::Columns columns = base::chosenColumns(errors);
    errors.step([&] { resultsModel.setColumns(columns); });
    // Files added to the list from now on are not part of this run.
    run = std::make_unique<extract::ExtractionRun>(files.paths(), columns, options, errors);
    connect(run.get(), &extract::ExtractionRun::rowReady, this,
            [this](const base::ResultRowData& row) { resultsModel.appendRow(row); });
    connect(run.get(), &extract::ExtractionRun::progress, this,
            [this](int value, const QString& text) {
                progress.setValue(value);
                progress.setText(text);
            });
    connect(run.get(), &extract::ExtractionRun::passwordNeeded, this,
            [this](const QString& path, const QString& prompt) { askForPassword(path, prompt); });
    connect(run.get(), &extract::ExtractionRun::finished, this,
            [this, errors](const extract::RunSummary& summary) { runEnded(errors, summary); });
    // The table grows by a row and the bar moves for every file: both are painted a few
    // times a second rather than per file. The whole table is paced, scroll bars included,
    // since the vertical bar changes with every row as well.
    pacedTable = std::make_unique<gui::PaintPacer>(ui.results);
    pacedBar = std::make_unique<gui::PaintPacer>(ui.progress, 100);
    run->start();
}

void MainWindow::askForPassword(const QString&, const QString& prompt) {
    QPointer<extract::ExtractionRun> asking = run.get();
    services.prompts.askPasswordLater(prompt, QStringLiteral("Input Password"),
                                      [asking](const platform::PasswordAnswer& answer) {
                                          // The run may have ended meanwhile (the window
                                          // closed).
                                          if (asking)
                                              asking->answerPassword(answer);
                                      });
}

void MainWindow::runEnded(const base::ErrorReport& errors, const extract::RunSummary& summary) {
    run.release()->deleteLater();
    pacedTable.reset();
    pacedBar.reset();
    errors.step([this] { resultsModel.tickAll(); });
    progress.reset();
    showBusyState();
    fitResultColumns();
    // The rows the table holds now: those removed meanwhile are not counted.
    int unread = 0;
    QString named;
    for (int row = 0; row < resultsModel.count(); ++row) {
        const QString reason = resultsModel.unreadReason(row);
        if (reason.isEmpty())
            continue;
        if (++unread <= unreadFilesNamed)
            named += QStringLiteral("\r%1: %2")
                         .arg(QFileInfo(resultsModel.path(row)).fileName(), reason);
    }
    QString done = QStringLiteral("Done.") + extract::unreadFilesLine(unread);
    // Columns the tool could not fill for any file are said once, here.
    if (!summary.note.isEmpty())
        done += QStringLiteral("\r\n") + summary.note;
    if (unread == 0) {
        errors.step([&] { services.prompts.message(done); });
        return;
    }
    if (unread > unreadFilesNamed)
        named += QStringLiteral("\r(and %1 more)").arg(unread - unreadFilesNamed);
    bool onlyThose = false;
    errors.step([&] {
        onlyThose = services.prompts.askYesNo(
            done + QStringLiteral("\r") + named +
            QStringLiteral("\r\rShow only the files that could not be read?"));
    });
    if (onlyThose)
        ui.onlyUnread->setChecked(true);
}

} // namespace app
