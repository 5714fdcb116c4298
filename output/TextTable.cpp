#include "output/TextTable.h"

#include "output/AlignedText.h"

#include "base/CellText.h"
#include "base/Progress.h"

namespace output {

TextTable::TextTable(const base::ResultsSnapshot& results, const QLocale& locale,
                     const base::StopRequest* stop)
    : headerTexts(results.headers()), longest(results.headerCount(), 0) {
    const int columns = results.headerCount();
    rows.reserve(results.rowCount());
    for (int row = 0; row < results.rowCount(); ++row) {
        if (stop && row % 1024 == 0)
            stop->throwIfRequested();
        Row shown;
        shown.ticked = results.isTicked(row);
        for (int column = 0; column < columns; ++column) {
            QString text = base::cellText(results.cell(row, column), locale);
            text.remove(QChar(0));
            longest[column] = std::max(longest[column], displayWidth(text));
            shown.cells += text;
            shown.cells += QChar(0);
        }
        rows.append(std::move(shown));
    }
}

QStringView TextTable::cell(int row, int column) const {
    const QString& cells = rows[row].cells;
    qsizetype start = 0;
    for (int skipped = 0; skipped < column; ++skipped)
        start = cells.indexOf(QChar(0), start) + 1;
    return QStringView(cells).mid(start, cells.indexOf(QChar(0), start) - start);
}

QList<int> TextTable::widths(bool withHeaders) const {
    QList<int> result = longest;
    if (withHeaders)
        for (int column = 0; column < result.size(); ++column)
            result[column] = std::max(result[column], displayWidth(headerTexts[column]));
    return result;
}

} // namespace output
