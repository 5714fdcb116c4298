#include "output/TextTable.h"

#include "output/AlignedText.h"

#include "base/Progress.h"

#include <algorithm>
#include <cstring>

namespace output {

TextTable::TextTable(const base::ResultsSnapshot& snapshot, const QLocale& locale,
                     const base::StopRequest* stop)
    : results(snapshot), headerTexts(snapshot.headers()), longest(snapshot.headerCount(), 0),
      writer(locale) {
    for (const QString& header : headerTexts)
        headerBytes.append(header.toUtf8());
    for (int index = 0; index < rowCount(); ++index) {
        if (stop && index % 1024 == 0)
            stop->throwIfRequested();
        const TextRow& cells = row(index);
        for (int column = 0; column < columnCount(); ++column)
            longest[column] = std::max(longest[column], displayWidth(cells.cell(column)));
    }
}

const TextRow& TextTable::row(int index) const {
    current.text.truncate(0); // keeps its room for the next row
    current.ends.clear();
    const int columns = columnCount();
    if (columns == 0)
        return current;
    const auto endCell = [&] {
        const qsizetype start = current.ends.empty() ? 0 : current.ends.back();
        // A NUL is left out: tools that read text take it as the end of the line.
        if (std::memchr(current.text.constData() + start, '\0',
                        static_cast<size_t>(current.text.size() - start)))
            current.text.truncate(std::remove(current.text.data() + start,
                                              current.text.data() + current.text.size(), '\0') -
                                  current.text.constData());
        current.ends.push_back(current.text.size());
    };
    const base::ResultRowData& data = results.rows[index];
    current.text += data.path.toUtf8();
    endCell();
    int next = 1; // the column whose cell comes next
    data.cells.forEachCell([&](int column, const base::CellValue& value, QByteArrayView text) {
        if (column < next || column >= columns)
            return;
        for (; next < column; ++next)
            endCell();
        if (text.isEmpty())
            writer.append(current.text, value);
        else
            current.text += text;
        endCell();
        next = column + 1;
    });
    for (; next < columns; ++next)
        endCell();
    return current;
}

QList<int> TextTable::widths(bool withHeaders) const {
    QList<int> result = longest;
    if (withHeaders)
        for (int column = 0; column < result.size(); ++column)
            result[column] = std::max(result[column], displayWidth(headerBytes[column]));
    return result;
}

} // namespace output
