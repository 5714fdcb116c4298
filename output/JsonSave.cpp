#include "output/JsonSave.h"

#include "base/PathHelpers.h"
#include "base/Progress.h"
#include "output/AlignedText.h"
#include "output/BlockWriter.h"
#include "output/JsonValues.h"
#include "output/WholeFileWriter.h"

namespace output {

JsonForm jsonFormFor(const QString& path) {
    return path.endsWith(QLatin1String(".jsonl"), Qt::CaseInsensitive) ? JsonForm::Lines
                                                                       : JsonForm::Array;
}

void writeResultsJson(const base::ResultsSnapshot& results, QIODevice& device, JsonForm form,
                      base::Progress* progress, const base::StopRequest* stop,
                      const QString& name) {
    const QString writing = QStringLiteral("Writing file: ") + name;
    base::showProgress(progress, 10, writing);
    BlockWriter out(device);
    const bool array = form == JsonForm::Array;
    if (array)
        out.addRecord({"["});
    bool first = true;
    QByteArray object; // keeps its room from row to row
    const int rows = results.rowCount();
    for (int row = 0; row < rows; ++row) {
        if (row % 1000 == 0 && stop)
            stop->throwIfRequested();
        if (!results.isTicked(row))
            continue;
        object.truncate(0);
        appendJsonText(object, results.columns, results.rows[row]);
        if (array)
            out.addRecord({first ? "\n" : ",\n", object});
        else
            out.addRecord({object, "\n"});
        first = false;
        if (progress) {
            progress->setValue(rowProgress(row + 1, rows));
            if ((row + 1) % 1000 == 0)
                progress->setText(writing + QStringLiteral(" (") + QString::number(row + 1) +
                                  QLatin1Char(')'));
        }
    }
    if (array)
        out.addRecord({"\n]\n"});
    out.flush();
    base::showProgress(progress, 100, QStringLiteral("Done."));
}

base::Status saveResultsJson(const base::ResultsSnapshot& results, const QString& path,
                             base::Progress* progress, const base::StopRequest* stop,
                             std::optional<JsonForm> form) {
    base::showProgress(progress, 1, QStringLiteral("Writing file: ") + base::fileNameOf(path));
    return writeWholeFile(path, stop, [&](QIODevice& device) {
        writeResultsJson(results, device, form.value_or(jsonFormFor(path)), progress, stop,
                         base::fileNameOf(path));
    });
}

} // namespace output
