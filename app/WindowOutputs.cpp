// The ways out of the main window: the text file, the workbook and the clipboard. Each
// writes a snapshot of the results in a thread of its own, so the window answers throughout
// and what the user does meanwhile cannot change what is written.
#include "app/MainWindow.h"
#include "base/BackgroundWork.h"
#include "base/ErrorReport.h"
#include "output/AlignedText.h"
#include "output/ClipboardCopy.h"
#include "output/TextSave.h"
#include "output/TextTable.h"
#include "output/WorkbookExport.h"
#include "output/WorkbookFolder.h"
#include "platform/FileIdentity.h"
#include "platform/Folders.h"
#include "platform/Prompts.h"
#include "platform/SpreadsheetApplication.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <memory>

namespace app {

void MainWindow::startOutput(std::unique_ptr<base::BackgroundWork> work,
                             std::function<void(const base::Status&)> done) {
    output = std::move(work);
    connect(output.get(), &base::BackgroundWork::progress, this,
            [this](int value, const QString& text) {
                progress.setValue(value);
                progress.setText(text);
            });
    connect(output.get(), &base::BackgroundWork::finished, this,
            [this, done = std::move(done)](const base::Status& result) {
                output.release()->deleteLater();
                progress.reset();
                showBusyState();
                done(result);
            });
    output->start();
    showBusyState();
}

void MainWindow::saveResultsText(const base::ErrorReport& errors) {
    // One output at a time.
    if (output)
        return;
    QString path;
    errors.step([&] {
        path = services.prompts.saveFile(
            QStringLiteral("Save"),
            QStringLiteral("Text Files (*.txt);;CSV Files (*.csv);;All Files (*)"));
    });
    if (path.isEmpty())
        return;
    const base::ResultsSnapshot snapshot = resultsModel.snapshot();
    // A name that is one of the files read, or to be read, would destroy it.
    QStringList read = files.paths();
    for (const base::ResultRowData& row : snapshot.rows)
        read.append(row.path);
    if (const QString same = platform::sameFileAmong(read, path); !same.isEmpty()) {
        errors.step([&] {
            services.prompts.message(
                QStringLiteral("%1 is one of the PDF files being read (%2): saving there would "
                               "destroy it.\r\rThe results were not saved; choose another name.")
                    .arg(path, same),
                {}, platform::MessageIcon::Warning);
        });
        return;
    }
    const QLocale locale;
    const output::TextForm form = output::textFormFor(path);
    auto work = std::make_unique<base::BackgroundWork>(
        [snapshot, path, form, locale](base::BackgroundWork::Context& context) {
            return output::saveResultsText(snapshot, path, form, locale, &context.progress,
                                           &context.stop);
        });
    const base::ErrorReport saving =
        errors.renamed(QStringLiteral("Main.SaveListviewProperlySpaced"));
    startOutput(std::move(work), [saving](const base::Status& result) {
        if (!result.ok())
            saving.report(result.error());
    });
}

void MainWindow::exportWorkbook(const base::ErrorReport& errors) {
    if (output)
        return;
    if (!services.spreadsheet.isInstalled()) {
        errors.step([this] {
            services.prompts.message(output::noSpreadsheetForThisSoftware);
            services.prompts.message(output::noSpreadsheetForThisFeature);
        });
        return;
    }
    if (resultsModel.count() == 0)
        return;
    const QString scratch = services.folders.privateTempFolder();
    if (scratch.isEmpty()) {
        errors.report(QStringLiteral("No private temporary folder can be made in %1, so no "
                                     "workbook can be written.")
                          .arg(QDir::tempPath()));
        return;
    }
    QString path;
    if (!errors.step([&] { path = output::reserveWorkbookPath(QDateTime::currentDateTime()); }))
        return;
    const base::ResultsSnapshot snapshot = resultsModel.snapshot();
    const QLocale locale;
    auto work = std::make_unique<base::BackgroundWork>(
        [snapshot, path, scratch, locale](base::BackgroundWork::Context& context) {
            return output::writeResultsWorkbook(snapshot, path, scratch, locale, &context.progress,
                                                &context.stop);
        });
    platform::SpreadsheetApplication& spreadsheet = services.spreadsheet;
    startOutput(std::move(work), [path, errors, &spreadsheet](const base::Status& result) {
        // One failure ends the export: a workbook that cannot be written or shown is
        // reported once.
        errors.step([&] {
            if (!result.ok()) {
                QFile::remove(path); // never shown to anyone: no half-written file stays
                throw base::RunTimeError(result.error());
            }
            output::handOverWorkbook(path);
            QString problem;
            if (!spreadsheet.open(path, problem))
                throw base::RunTimeError(problem);
        });
    });
}

void MainWindow::copyResults(const base::ErrorReport& errors) {
    if (output)
        return;
    const base::ResultsSnapshot snapshot = resultsModel.snapshot();
    if (!output::anyTicked(snapshot)) {
        // Nothing would be copied: the clipboard keeps what it holds, and the user is told.
        errors.step([this] { services.prompts.message(output::nothingToCopy); });
        return;
    }
    auto text = std::make_shared<QByteArray>();
    const QLocale locale;
    auto work = std::make_unique<base::BackgroundWork>(
        [snapshot, locale, text](base::BackgroundWork::Context& context) {
            *text = output::clipboardText(output::TextTable(snapshot, locale, &context.stop));
            return base::Status::success();
        });
    startOutput(std::move(work), [this, errors, text](const base::Status& result) {
        bool copied = false;
        errors.step([&] {
            result.orThrow();
            copied = output::putOnClipboard(services.clipboard, *text);
            if (!copied)
                throw base::RunTimeError(QStringLiteral("The clipboard could not be set: it "
                                                        "refused the results %1 times.")
                                             .arg(output::clipboardAttempts));
        });
        if (copied) // saying they were copied would otherwise be untrue
            errors.step([this] { services.prompts.message(output::resultsCopied); });
    });
}

} // namespace app
