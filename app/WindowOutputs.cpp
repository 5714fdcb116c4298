// The ways out of the main window: the saved file, the workbook and the clipboard. Each
// writes a snapshot of the results as shown (the rows the filter lets through, in the order
// shown, the columns not hidden) in a thread of its own, so the window answers throughout and
// what the user does meanwhile cannot change what is written.
#include "app/MainWindow.h"
#include "base/BackgroundWork.h"
#include "base/ErrorReport.h"
#include "base/Settings.h"
#include "gui/ClipboardHtml.h"
#include "gui/ResultsProxy.h"
#include "output/AlignedText.h"
#include "output/ClipboardCopy.h"
#include "output/JsonSave.h"
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
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeView>

#include <memory>

namespace app {

namespace {

const QString lastSaveFolderKey = QStringLiteral("LastSaveFolder");

// A button's caption as shown, without its mnemonic's marker.
QString shownCaption(const QAbstractButton* button) {
    return QString(button->text()).remove(QLatin1Char('&'));
}

int tickedRows(const base::ResultsSnapshot& snapshot) {
    int ticked = 0;
    for (const base::ResultRowData& row : snapshot.rows)
        ticked += row.ticked ? 1 : 0;
    return ticked;
}

QString startFolder() {
    const QString remembered = base::readSetting(lastSaveFolderKey, QString());
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

base::ResultsSnapshot MainWindow::outputSnapshot() const {
    QList<int> hidden;
    for (int column = 1; column < ui.results->header()->count(); ++column)
        if (ui.results->header()->isSectionHidden(column))
            hidden.append(column);
    return shown->shownSnapshot(hidden);
}

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

void MainWindow::saveResults(const base::ErrorReport& errors, SaveFormat offered,
                             const QString& title) {
    // One output at a time.
    if (output)
        return;
    platform::SaveRequest request;
    request.title = title;
    request.folder = startFolder();
    request.suggestedName = suggestedSaveName(QDate::currentDate(), offered);
    request.filters = saveFilters();
    request.chosenFilter = saveTypeIndex(offered);
    // A name that is one of the files read, or to be read, would destroy it.
    QStringList read = files.paths();
    for (const base::ResultRowData& row : resultsModel.snapshot().rows)
        read.append(row.path);
    std::optional<SaveTarget> target;
    while (!target) {
        platform::SaveAnswer answer;
        errors.step([&] { answer = services.prompts.saveFileAs(request); });
        if (answer.path.isEmpty())
            return;
        const SaveTarget chosen = saveTargetFor(answer.path, answer.filter);
        if (const QString same = platform::sameFileAmong(read, chosen.path); !same.isEmpty()) {
            errors.step([&] {
                services.prompts.message(
                    QStringLiteral("%1 is one of the PDF files being read (%2): saving there "
                                   "would destroy it.\r\rThe results were not saved; choose "
                                   "another name.")
                        .arg(chosen.path, same),
                    {}, platform::MessageIcon::Warning);
            });
            return;
        }
        bool replace = true;
        if (QFileInfo::exists(chosen.path))
            errors.step([&] {
                replace = services.prompts.askYesNo(
                    QStringLiteral("%1 already exists.\r\rDo you want to replace it?")
                        .arg(chosen.path));
            });
        if (replace) {
            target = chosen;
        } else {
            // Back to the dialog, where it was.
            request.folder = QFileInfo(chosen.path).absolutePath();
            request.suggestedName = QFileInfo(chosen.path).fileName();
            request.chosenFilter = saveTypeIndex(chosen.format);
        }
    }
    const base::ResultsSnapshot snapshot = outputSnapshot();
    saveResultsAs(snapshot, *target, errors);
}

void MainWindow::saveResultsAs(const base::ResultsSnapshot& snapshot, const SaveTarget& target,
                               const base::ErrorReport& errors) {
    const QLocale locale;
    const QString path = target.path;
    base::BackgroundWork::Work write;
    if (target.format == SaveFormat::Workbook) {
        const QString scratch = services.folders.privateTempFolder();
        if (scratch.isEmpty()) {
            errors.report(QStringLiteral("No private temporary folder can be made in %1, so "
                                         "no workbook can be written.")
                              .arg(QDir::tempPath()));
            return;
        }
        write = [snapshot, path, scratch, locale](base::BackgroundWork::Context& context) {
            return output::writeResultsWorkbook(snapshot, path, scratch, locale, &context.progress,
                                                &context.stop);
        };
    } else if (target.format == SaveFormat::Json || target.format == SaveFormat::JsonLines) {
        const output::JsonForm form =
            target.format == SaveFormat::Json ? output::JsonForm::Array : output::JsonForm::Lines;
        write = [snapshot, path, form](base::BackgroundWork::Context& context) {
            return output::saveResultsJson(snapshot, path, &context.progress, &context.stop, form);
        };
    } else {
        const output::TextForm form =
            target.format == SaveFormat::Csv ? output::TextForm::Csv : output::TextForm::Aligned;
        write = [snapshot, path, form, locale](base::BackgroundWork::Context& context) {
            return output::saveResultsText(snapshot, path, form, locale, &context.progress,
                                           &context.stop);
        };
    }
    const base::ErrorReport saving =
        errors.renamed(QStringLiteral("Main.SaveListviewProperlySpaced"));
    const int rows = tickedRows(snapshot);
    startOutput(std::make_unique<base::BackgroundWork>(std::move(write)),
                [this, saving, path, rows](const base::Status& result) {
                    if (!result.ok()) {
                        saving.report(result.error());
                        return;
                    }
                    saving.step([&] {
                        base::writeSetting(lastSaveFolderKey, QFileInfo(path).absolutePath());
                    });
                    statusNote =
                        QStringLiteral("Saved %1 %2 to %3.")
                            .arg(rows)
                            .arg(rows == 1 ? QStringLiteral("row") : QStringLiteral("rows"),
                                 QDir::toNativeSeparators(path));
                    showStatus();
                });
}

void MainWindow::exportWorkbook(const base::ErrorReport& errors) {
    if (output)
        return;
    if (!services.spreadsheet.isInstalled()) {
        // Nothing could show the workbook: it can still be kept as a file.
        bool save = false;
        errors.step([&] {
            save = services.prompts.askYesNo(
                QStringLiteral("No spreadsheet application is installed to show the workbook "
                               "in.\r\rSave the results as a workbook file instead?"));
        });
        if (save)
            saveResults(errors, SaveFormat::Workbook, shownCaption(ui.saveWorkbook));
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
    const base::ResultsSnapshot snapshot = outputSnapshot();
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
    const base::ResultsSnapshot snapshot = outputSnapshot();
    if (!output::anyTicked(snapshot)) {
        // Nothing would be copied: the clipboard keeps what it holds, and the user is told.
        errors.step([this] { services.prompts.message(output::nothingToCopy); });
        return;
    }
    copyToClipboard(snapshot, errors, true);
}

void MainWindow::copySelectedResults(const base::ErrorReport& errors) {
    if (output)
        return;
    const QList<int> selected = selectedResultRows();
    if (selected.isEmpty())
        return;
    const base::ResultsSnapshot all = outputSnapshot();
    base::ResultsSnapshot chosen;
    chosen.columns = all.columns;
    chosen.hasColumns = all.hasColumns;
    for (const int row : selected) {
        chosen.rows.append(all.rows[row]);
        chosen.rows.last().ticked = true; // the selection is what goes, ticked or not
    }
    copyToClipboard(chosen, errors, false);
}

void MainWindow::copyToClipboard(const base::ResultsSnapshot& snapshot,
                                 const base::ErrorReport& errors, bool told) {
    auto text = std::make_shared<QByteArray>();
    auto html = std::make_shared<QString>();
    const QLocale locale;
    auto work = std::make_unique<base::BackgroundWork>(
        [snapshot, locale, text, html](base::BackgroundWork::Context& context) {
            const output::TextTable table(snapshot, locale, &context.stop);
            *text = output::clipboardText(table);
            *html = gui::clipboardHtml(table);
            return base::Status::success();
        });
    const int rows = tickedRows(snapshot);
    startOutput(
        std::move(work), [this, errors, text, html, told, rows](const base::Status& result) {
            bool copied = false;
            errors.step([&] {
                result.orThrow();
                copied = output::putOnClipboard(services.clipboard, *text, *html);
                if (!copied)
                    throw base::RunTimeError(QStringLiteral("The clipboard could not be set: it "
                                                            "refused the results %1 times.")
                                                 .arg(output::clipboardAttempts));
            });
            if (!copied) // saying they were copied would otherwise be untrue
                return;
            statusNote = QStringLiteral("Copied %1 %2 to the clipboard.")
                             .arg(rows)
                             .arg(rows == 1 ? QStringLiteral("row") : QStringLiteral("rows"));
            showStatus();
            if (told)
                errors.step([this] { services.prompts.message(output::resultsCopied); });
        });
}

} // namespace app
