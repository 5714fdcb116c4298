#include "output/TextSave.h"

#include "base/PathHelpers.h"
#include "base/Progress.h"
#include "output/AlignedText.h"
#include "output/BlockWriter.h"
#include "output/CsvText.h"
#include "output/TextTable.h"
#include "output/WholeFileWriter.h"

namespace output {

TextForm textFormFor(const QString& path) {
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? TextForm::Csv
                                                                     : TextForm::Aligned;
}

void writeResultsText(const TextTable& table, QIODevice& device, TextForm form,
                      base::Progress* progress, const base::StopRequest* stop,
                      const QString& name) {
    const QString writing = QStringLiteral("Writing file: ") + name;
    base::showProgress(progress, 10, writing);
    const QList<int> widths = form == TextForm::Aligned ? table.widths(true) : QList<int>();
    BlockWriter out(device);
    QByteArray line;
    const auto lineOf = [&](int row) -> const QByteArray& {
        line.truncate(0); // keeps its room for the next line
        const TextRow* cells = row < 0 ? nullptr : &table.row(row);
        for (int column = 0; column < table.columnCount(); ++column) {
            const QByteArrayView cell = cells ? cells->cell(column) : table.header(column);
            if (form == TextForm::Aligned) {
                appendCell(line, cell, widths[column]);
            } else {
                if (column > 0)
                    line += ',';
                appendCsvField(line, cell);
            }
        }
        return line;
    };
    const auto addLine = [&](const QByteArray& text) { out.addRecord({text, "\r\n"}); };
    addLine(lineOf(-1));
    base::showProgress(progress, 20, writing);
    const int rows = table.rowCount();
    for (int row = 0; row < rows; ++row) {
        if (row % 1000 == 0 && stop)
            stop->throwIfRequested();
        if (!table.isTicked(row))
            continue;
        addLine(lineOf(row));
        if (progress) {
            progress->setValue(rowProgress(row + 1, rows));
            if ((row + 1) % 1000 == 0)
                progress->setText(writing + QStringLiteral(" (") + QString::number(row + 1) +
                                  QLatin1Char(')'));
        }
    }
    out.flush();
    base::showProgress(progress, 100, QStringLiteral("Done."));
}

base::Status saveResultsText(const base::ResultsSnapshot& results, const QString& path,
                             TextForm form, const QLocale& locale, base::Progress* progress,
                             const base::StopRequest* stop) {
    try {
        const QString writing = QStringLiteral("Writing file: ") + base::fileNameOf(path);
        base::showProgress(progress, 1, writing);
        const TextTable table(results, locale, stop);
        return writeWholeFile(path, stop, [&](QIODevice& device) {
            writeResultsText(table, device, form, progress, stop, base::fileNameOf(path));
        });
    } catch (const base::RunTimeError& error) {
        return base::Status::failure(QString::fromUtf8(error.what()));
    }
}

} // namespace output
