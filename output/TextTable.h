#pragma once

#include "base/ResultsSnapshot.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace base {
class StopRequest;
}

namespace output {

// The results as the text outputs show them: every cell as text (base/CellText.h), each
// formatted once, and the widths of the columns. The aligned text, CSV and the clipboard
// are written from it.
class TextTable {
public:
    // Formats every row, ticked or not (the widths count them all). Throws base::Stopped
    // when stop is requested meanwhile.
    TextTable(const base::ResultsSnapshot& results, const QLocale& locale,
              const base::StopRequest* stop = nullptr);

    int rowCount() const { return static_cast<int>(rows.size()); }
    int columnCount() const { return static_cast<int>(headerTexts.size()); }
    bool isTicked(int row) const { return rows[row].ticked; }
    const QStringList& headers() const { return headerTexts; }
    // The text of a cell; column 0 is the file's path.
    QStringView cell(int row, int column) const;
    // Per column the display width (AlignedText.h) of its widest cell over all rows, ticked
    // or not, and of its header too when withHeaders.
    QList<int> widths(bool withHeaders) const;

private:
    struct Row {
        QString cells; // each cell's text, one after the other
        bool ticked = false;
    };
    QStringList headerTexts;
    QList<Row> rows;
    // Where each cell ends in its row's text, row after row.
    QList<int> cellEnds;
    QList<int> longest; // without the headers
};

} // namespace output
