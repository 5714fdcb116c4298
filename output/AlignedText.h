#pragma once

#include "base/ResultsSnapshot.h"

#include <QList>
#include <QString>

namespace output {

// Column widths for aligned text: per column the length, in characters, of its longest cell
// over all rows, ticked or not, and of its header too when withHeaders. Lets events run
// once per cell.
QList<int> columnWidths(const base::ResultsSnapshot& results, bool withHeaders);

// Appends a cell to a line: the text with each control character (tab, line breaks and
// the rest below U+0020) shown as a blank, blanks up to the width, then a tab.
void appendCell(QString& line, const QString& text, int width);

// The clipboard's text, in UTF-8: one line per ticked row without a header line, every cell
// padded to its column's width (headers not counted) and closed by a tab, then the line's
// last tab and its trailing blanks removed and CR LF added. Empty when no row is ticked.
QByteArray clipboardText(const base::ResultsSnapshot& results);

// The progress value of row r (1-based) of m rows written: (m div 2000 + r) / m * 100.
int rowProgress(int row, int rows);

} // namespace output
