#include "output/TextSave.h"

#include "base/PathHelpers.h"
#include "base/Progress.h"
#include "output/AlignedText.h"
#include "output/CsvText.h"
#include "output/TextTable.h"
#include "output/WholeFileWriter.h"

#include <QFileDevice>

namespace output {

namespace {

// Lines go out in blocks of about this size: a write per line would cost more than the
// lines themselves.
constexpr qsizetype blockSize = 1 << 20;

class BlockWriter {
public:
    explicit BlockWriter(QIODevice& to) : device(to) { block.reserve(blockSize + 4096); }
    void addLine(const QString& line) {
        block += line.toUtf8();
        block += "\r\n";
        if (block.size() >= blockSize)
            flush();
    }
    void flush() {
        if (block.isEmpty())
            return;
        const qint64 written = device.write(block);
        if (written != block.size()) {
            // A write cut short names no reason of its own; writing the rest meets the same
            // refusal again, and names it.
            if (written >= 0)
                device.write(block.constData() + written, block.size() - written);
            auto* file = qobject_cast<QFileDevice*>(&device);
            throw base::RunTimeError(
                QStringLiteral("The results could not be written: %1")
                    .arg(file ? writeFailureReason(*file) : device.errorString()));
        }
        block.clear();
    }

private:
    QIODevice& device;
    QByteArray block;
};

void showProgress(base::Progress* progress, int value, const QString& text) {
    if (!progress)
        return;
    progress->setValue(value);
    progress->setText(text);
}

} // namespace

TextForm textFormFor(const QString& path) {
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? TextForm::Csv
                                                                     : TextForm::Aligned;
}

void writeResultsText(const TextTable& table, QIODevice& device, TextForm form,
                      base::Progress* progress, const base::StopRequest* stop,
                      const QString& name) {
    const QString writing = QStringLiteral("Writing file: ") + name;
    showProgress(progress, 10, writing);
    const QList<int> widths = form == TextForm::Aligned ? table.widths(true) : QList<int>();
    BlockWriter out(device);
    const auto lineOf = [&](int row) {
        QString line;
        for (int column = 0; column < table.columnCount(); ++column) {
            const QStringView cell =
                row < 0 ? QStringView(table.headers()[column]) : table.cell(row, column);
            if (form == TextForm::Aligned) {
                appendCell(line, cell, widths[column]);
            } else {
                if (column > 0)
                    line += QLatin1Char(',');
                appendCsvField(line, cell);
            }
        }
        return line;
    };
    out.addLine(lineOf(-1));
    showProgress(progress, 20, writing);
    const int rows = table.rowCount();
    for (int row = 0; row < rows; ++row) {
        if (row % 1000 == 0 && stop)
            stop->throwIfRequested();
        if (!table.isTicked(row))
            continue;
        out.addLine(lineOf(row));
        if (progress) {
            progress->setValue(rowProgress(row + 1, rows));
            if ((row + 1) % 1000 == 0)
                progress->setText(writing + QStringLiteral(" (") + QString::number(row + 1) +
                                  QLatin1Char(')'));
        }
    }
    out.flush();
    showProgress(progress, 100, QStringLiteral("Done."));
}

base::Status saveResultsText(const base::ResultsSnapshot& results, const QString& path,
                             TextForm form, const QLocale& locale, base::Progress* progress,
                             const base::StopRequest* stop) {
    try {
        const QString writing = QStringLiteral("Writing file: ") + base::fileNameOf(path);
        showProgress(progress, 1, writing);
        const TextTable table(results, locale, stop);
        WholeFileWriter file(path);
        try {
            writeResultsText(table, file.device(), form, progress, stop, base::fileNameOf(path));
        } catch (const base::Stopped&) {
            throw;
        } catch (const base::RunTimeError&) {
            file.failure(); // the same refusal, said with the file's name
        }
        if (stop)
            stop->throwIfRequested();
        file.commit();
        return base::Status::success();
    } catch (const base::RunTimeError& error) {
        return base::Status::failure(QString::fromUtf8(error.what()));
    }
}

} // namespace output
