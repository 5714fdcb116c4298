#include "output/TextSave.h"

#include "app/BusyState.h"
#include "app/ErrorReport.h"
#include "app/EventPump.h"
#include "app/Form1.h"
#include "app/PathHelpers.h"
#include "output/AlignedText.h"
#include "platform/Prompts.h"
#include "platform/TextProgressBar.h"

#include <QSaveFile>

namespace output {

namespace {

void showProgress(platform::TextProgressBar* bar, int value, const QString& text) {
    if (!bar)
        return;
    app::letEventsRun();
    bar->setRawValue(value);
    bar->setText(text);
    app::letEventsRun();
}

void writeLine(QSaveFile& file, const QString& line) {
    file.write(line.toUtf8());
    file.write("\r\n", 2);
}

} // namespace

bool SaveListviewProperlySpaced(const ResultsSource& results, const QString& path,
                                platform::TextProgressBar* bar) {
    const app::ErrorReport errors(QStringLiteral("Main.SaveListviewProperlySpaced"));
    const QString writing = QStringLiteral("Writing file: ") + app::FileNameOf(path);
    bool saved = false;
    errors.step([&] {
        showProgress(bar, 1, writing);
        const QList<int> widths = columnWidths(results, true);
        showProgress(bar, 10, writing);

        QSaveFile file(path);
        // The new file goes in beside the old one and takes its place when complete, which
        // needs a folder we may write; in a folder we may not, a file we may write is
        // written in place, as a plain overwrite would.
        file.setDirectWriteFallback(true);
        if (!file.open(QIODevice::WriteOnly))
            throw app::RunTimeError(
                QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
        QString line;
        for (int column = 0; column < widths.size(); ++column) {
            app::letEventsRun();
            appendCell(line, results.header(column), widths[column]);
        }
        writeLine(file, line);
        showProgress(bar, 20, writing);

        const int rows = results.rowCount();
        for (int row = 0; row < rows; ++row) {
            app::letEventsRun();
            if (!results.isTicked(row))
                continue;
            line.clear();
            for (int column = 0; column < widths.size(); ++column) {
                app::letEventsRun();
                appendCell(line, results.cell(row, column), widths[column]);
            }
            if (bar) {
                bar->setRawValue(rowProgress(row + 1, rows));
                if ((row + 1) % 1000 == 0)
                    bar->setText(writing + QStringLiteral(" (") + QString::number(row + 1) +
                                 QLatin1Char(')'));
            }
            writeLine(file, line);
        }
        if (bar) {
            bar->setRawValue(100);
            bar->setText(QStringLiteral("Done."));
        }
        // Making a large file safe on disk takes a while; the window stays responsive.
        bool committed = false;
        app::runLettingEventsRun([&] { committed = file.commit(); });
        if (!committed)
            throw app::RunTimeError(QStringLiteral("%1 could not be written completely: %2")
                                        .arg(path, file.errorString()));
        saved = true;
    });
    if (bar) {
        bar->setRawValue(0);
        bar->setText(QStringLiteral("Progress Bar"));
    }
    return saved;
}

void PushButton1_Click(app::Form1& window) {
    const app::ErrorReport errors(QStringLiteral("Form1.PushButton1_Click"));
    QString path;
    errors.step([&] {
        path = platform::prompts().saveFile(QStringLiteral("Save"),
                                            QStringLiteral("Text Files (*.txt);;All Files (*)"));
    });
    if (path.isEmpty())
        return;
    const app::BusyScope busy(&window);
    errors.step([&] {
        SaveListviewProperlySpaced(readResults(window.ListView2), path, window.ProgressBar1);
    });
}

} // namespace output
