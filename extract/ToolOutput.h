#pragma once

#include "base/CellValue.h"
#include "base/Properties.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace extract {

// A value the dump gives a property.
struct PropertyValue {
    base::Property property;
    base::CellValue value;
};

// What the dump gives a results row: the values in the order found (a later one for the same
// property wins), and the problems met on the way, each to be reported.
struct ToolOutputReading {
    QList<PropertyValue> values;
    QStringList problems;
};

// Reads the tool's dump (its InfoKey/InfoValue and NumberOfPages lines, and the audit's lines
// after them, see AuditOutput.h) for the properties wanted. Lines end in LF or CR LF. A line names
// an entry when it holds "InfoKey: " and a known key (a custom key that merely begins with one,
// such as TitleX, counts as that key); the next line holds its value after "InfoValue:". Character
// references and the escapes &amp; &lt; &gt; &quot; &apos; in values are decoded. The page count is
// a whole number when it reads as one, ModDate and CreationDate dates on the document's clock.
// Entries of properties not wanted are not read at all. The audit's values come after the others.
ToolOutputReading readToolOutput(const QByteArray& output, const base::Columns& wanted);

// A value as the tool escaped it, decoded (decodeToolText) and without the blanks around it.
QString decodedValue(const QString& escaped);

// The first line of a tool's error output that is not a warning ("pdftk: warning: ..."),
// trimmed, with the indented lines that go on from it when it ends in a colon; empty when
// there is none. It says why the tool failed.
QString firstErrorLine(const QByteArray& errorOutput);

// A value as the tool escaped it, decoded: &#N; and &#xH; references and the five named
// escapes. Line breaks become blanks and NUL characters are left out, so a cell stays one
// line of text; references that do not name a character stay as they stand.
QString decodeToolText(const QString& text);

} // namespace extract
