#pragma once

#include "extract/RowCells.h"

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace extract {

// What the dump gives a results row: the cells in the order found (a later one for the same
// column wins), and the problems met on the way, each to be reported.
struct ToolOutputReading {
    RowCells cells;
    QStringList problems;
};

// Reads the tool's dump (its InfoKey/InfoValue and NumberOfPages lines) for a results table
// with the given header row. Lines end in LF or CR LF. A line names an entry when it holds
// "InfoKey: " and a known key (a custom key that merely begins with one, such as TitleX,
// counts as that key); the next line holds its value after "InfoValue:". Character
// references and the escapes &amp; &lt; &gt; &quot; &apos; in values are decoded. ModDate and
// CreationDate become date and time text in locale. Entries whose column the table lacks
// are not read at all.
ToolOutputReading readToolOutput(const QByteArray& output, const QStringList& headers,
                                 const QLocale& locale = QLocale::system());

// A value as the tool escaped it, decoded: &#N; and &#xH; references and the five named
// escapes. Line breaks become blanks and NUL characters are left out, so a cell stays one
// line of text; references that do not name a character stay as they stand.
QString decodeToolText(const QString& text);

} // namespace extract
