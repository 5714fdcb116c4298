#include "output/TextSave.h"

#include "base/BusyState.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/PathHelpers.h"
#include "base/Progress.h"
#include "base/ResultsModel.h"
#include "output/AlignedText.h"
#include "output/CsvText.h"
#include "output/WholeFileWriter.h"
#include "platform/FileIdentity.h"
#include "platform/Prompts.h"

#include <QFileDevice>

namespace output {

namespace {

void showProgress(base::Progress* progress, int value, const QString& text) {
    if (!progress)
        return;
    base::letEventsRun();
    progress->setValue(value);
    progress->setText(text);
    base::letEventsRun();
}

void writeLine(QIODevice& device, const QString& line) {
    const QByteArray bytes = line.toUtf8() + "\r\n";
    if (device.write(bytes) == bytes.size())
        return;
    auto* file = qobject_cast<QFileDevice*>(&device);
    throw base::RunTimeError(QStringLiteral("The results could not be written: %1")
                                 .arg(file ? writeFailureReason(*file) : device.errorString()));
}

// One line of the chosen form: aligned cells, or comma-separated fields.
QString lineOf(const QStringList& cells, TextForm form, const QList<int>& widths) {
    if (form == TextForm::Csv)
        return csvLine(cells);
    QString line;
    for (qsizetype column = 0; column < widths.size(); ++column) {
        base::letEventsRun();
        appendCell(line, cells.value(column), widths[column]);
    }
    return line;
}

QStringList cellsOfRow(const base::ResultsSnapshot& results, int row) {
    QStringList cells;
    cells.reserve(results.headerCount());
    for (int column = 0; column < results.headerCount(); ++column)
        cells.append(results.cell(row, column));
    return cells;
}

} // namespace

TextForm textFormFor(const QString& path) {
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? TextForm::Csv
                                                                     : TextForm::Aligned;
}

void writeResultsText(const base::ResultsSnapshot& results, QIODevice& device, TextForm form,
                      base::Progress* progress, const QString& name) {
    const QString writing = QStringLiteral("Writing file: ") + name;
    showProgress(progress, 1, writing);
    const QList<int> widths =
        form == TextForm::Aligned ? columnWidths(results, true) : QList<int>();
    showProgress(progress, 10, writing);
    writeLine(device, lineOf(results.headers, form, widths));
    showProgress(progress, 20, writing);

    const int rows = results.rowCount();
    for (int row = 0; row < rows; ++row) {
        base::letEventsRun();
        if (!results.isTicked(row))
            continue;
        const QString line = lineOf(cellsOfRow(results, row), form, widths);
        if (progress) {
            progress->setValue(rowProgress(row + 1, rows));
            if ((row + 1) % 1000 == 0)
                progress->setText(writing + QStringLiteral(" (") + QString::number(row + 1) +
                                  QLatin1Char(')'));
        }
        writeLine(device, line);
    }
    if (progress) {
        progress->setValue(100);
        progress->setText(QStringLiteral("Done."));
    }
}

bool saveResultsText(const base::ResultsSnapshot& results, const QString& path, TextForm form,
                     base::Progress* progress) {
    const base::ErrorReport errors(QStringLiteral("Main.SaveListviewProperlySpaced"));
    bool saved = false;
    errors.step([&] {
        WholeFileWriter file(path);
        try {
            writeResultsText(results, file.device(), form, progress, base::fileNameOf(path));
        } catch (const base::RunTimeError&) {
            file.failure(); // the same refusal, said with the file's name
        }
        file.commit();
        saved = true;
    });
    if (progress)
        progress->reset();
    return saved;
}

void saveResultsByDialog(const base::ResultsModel& results, const QStringList& inputs,
                         base::Progress& progress, base::BusyState& busy,
                         const base::ErrorReport& errors) {
    QString path;
    errors.step([&] {
        path = platform::prompts().saveFile(
            QStringLiteral("Save"),
            QStringLiteral("Text Files (*.txt);;CSV Files (*.csv);;All Files (*)"));
    });
    if (path.isEmpty())
        return;
    const base::BusyScope busyScope(busy);
    const base::ResultsSnapshot snapshot = results.snapshot();
    QStringList read = inputs;
    for (int row = 0; row < snapshot.rowCount(); ++row)
        read.append(snapshot.cell(row, 0));
    if (const QString same = platform::sameFileAmong(read, path); !same.isEmpty()) {
        errors.step([&] {
            platform::prompts().message(
                QStringLiteral("%1 is one of the PDF files being read (%2): saving there would "
                               "destroy it.\r\rThe results were not saved; choose another name.")
                    .arg(path, same),
                {}, platform::MessageIcon::Warning);
        });
        return;
    }
    errors.step([&] { saveResultsText(snapshot, path, textFormFor(path), &progress); });
}

} // namespace output
