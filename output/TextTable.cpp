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
    cellEnds.reserve(qsizetype{results.rowCount()} * columns);
    // Each row's text is put together here, then copied once at its size: growing every
    // row's own string cell by cell would allocate it again and again.
    QString line;
    for (int row = 0; row < results.rowCount(); ++row) {
        if (stop && row % 1024 == 0)
            stop->throwIfRequested();
        line.truncate(0);
        for (int column = 0; column < columns; ++column) {
            QString text = base::cellText(results.cell(row, column), locale);
            // A NUL is left out: tools that read text take it as the end of the line.
            text.remove(QChar(0));
            longest[column] = std::max(longest[column], displayWidth(text));
            line += text;
            cellEnds.append(static_cast<int>(line.size()));
        }
        rows.append({QString(line.constData(), line.size()), results.isTicked(row)});
    }
}

QStringView TextTable::cell(int row, int column) const {
    const qsizetype first = qsizetype{row} * columnCount();
    const int start = column == 0 ? 0 : cellEnds[first + column - 1];
    return QStringView(rows[row].cells).mid(start, cellEnds[first + column] - start);
}

QList<int> TextTable::widths(bool withHeaders) const {
    QList<int> result = longest;
    if (withHeaders)
        for (int column = 0; column < result.size(); ++column)
            result[column] = std::max(result[column], displayWidth(headerTexts[column]));
    return result;
}

} // namespace output
