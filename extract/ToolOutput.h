#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <functional>

namespace extract {

// Reads the tool's dump (its InfoKey/InfoValue and NumberOfPages lines) into the cells of
// one results row. Lines end in LF or CR LF. A line names an entry when it holds
// "InfoKey: " and a known key (a custom key that merely begins with one, such as TitleX,
// counts as that key); the next line holds its value after "InfoValue:". The last
// occurrence of a key wins. Character references and the escapes &amp; &lt; &gt; &quot;
// &apos; in values are decoded. ModDate and CreationDate become date and time text.
struct ToolOutputSinks {
    // The sub-item index of a results column by its header text, 0 when there is none.
    std::function<int(const QString& header)> columnOf;
    // Writes a cell of the row.
    std::function<void(int column, const QString& text)> write;
    // Reports an error; reading goes on with the next line.
    std::function<void(const QString& description)> fail;
};

void parseToolOutput(const QByteArray& output, const ToolOutputSinks& sinks,
                     const QLocale& locale = QLocale::system());

// A value as the tool escaped it, decoded: &#N; and &#xH; references and the five named
// escapes. Line breaks become blanks and NUL characters are left out, so a cell stays one
// line of text; references that do not name a character stay as they stand.
QString decodeToolText(const QString& text);

} // namespace extract
