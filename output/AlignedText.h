#pragma once

#include "output/TextTable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace output {

// The columns text takes in a monospace editor: two for an East Asian wide or fullwidth
// character (CJK ideographs, kana, hangul, fullwidth forms, most emoji), one for any other
// (a character beyond U+FFFF too). The text is in UTF-8.
int displayWidth(QByteArrayView text);

// Appends a cell to a line: the text with each control character (tab, line breaks and
// the rest below U+0020) shown as a blank, blanks up to the width (in display columns), then
// a tab.
void appendCell(QByteArray& line, QByteArrayView text, int width);

// The clipboard's text, in UTF-8: one line per ticked row without a header line, every cell
// padded to its column's width (headers not counted) and closed by a tab, then the line's
// last tab and its trailing blanks removed and CR LF added. Empty when no row is ticked.
QByteArray clipboardText(const TextTable& table);

// The progress value of row r (1-based) of m rows written: (m div 2000 + r) / m * 100.
int rowProgress(int row, int rows);

} // namespace output
