#pragma once

#include "base/CellText.h"
#include "base/ResultsSnapshot.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QLocale>
#include <QStringList>

#include <vector>

namespace base {
class StopRequest;
}

namespace output {

// The cells of one row as text (base/CellText.h) in UTF-8, one after the other.
struct TextRow {
    QByteArray text;
    std::vector<qsizetype> ends; // where each cell ends
    QByteArrayView cell(int column) const {
        const qsizetype start = column == 0 ? 0 : ends[static_cast<size_t>(column) - 1];
        return QByteArrayView(text.constData() + start, ends[static_cast<size_t>(column)] - start);
    }
};

// The results as the text outputs show them: the widths of the columns, and each row's
// cells as text when asked for. The rows are formatted again for each use rather than kept:
// formatting a row from the results costs less than the fresh memory that the text of a
// large table would take. The aligned text, CSV and the clipboard are written from it.
class TextTable {
public:
    // Measures every row, ticked or not (the widths count them all). Throws base::Stopped
    // when stop is requested meanwhile. The snapshot's rows are shared, not copied.
    TextTable(const base::ResultsSnapshot& results, const QLocale& locale,
              const base::StopRequest* stop = nullptr);

    int rowCount() const { return results.rowCount(); }
    int columnCount() const { return static_cast<int>(headerTexts.size()); }
    bool isTicked(int row) const { return results.isTicked(row); }
    const QStringList& headers() const { return headerTexts; }
    QByteArrayView header(int column) const { return headerBytes[column]; }
    // The texts of a row's cells (column 0 is the file's path), valid until the next row is
    // asked for.
    const TextRow& row(int row) const;
    // Per column the display width (AlignedText.h) of its widest cell over all rows, ticked
    // or not, and of its header too when withHeaders.
    QList<int> widths(bool withHeaders) const;

private:
    base::ResultsSnapshot results;
    QStringList headerTexts;
    QList<QByteArray> headerBytes;
    QList<int> longest; // without the headers
    // The formatter keeps the dates it has shown, and the row its buffers: asking for a row
    // changes neither what the table is nor what it shows.
    mutable base::CellTextWriter writer;
    mutable TextRow current;
};

} // namespace output
