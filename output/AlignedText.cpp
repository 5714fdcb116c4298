#include "output/AlignedText.h"

namespace output {

void appendCell(QString& line, QStringView text, int width) {
    const qsizetype start = line.size();
    line += text;
    // A tab or line break would start a new column or line of its own: each control
    // character shows as one blank, so the width is the same as counted.
    for (qsizetype i = start; i < line.size(); ++i)
        if (line[i].unicode() < 0x20)
            line[i] = QLatin1Char(' ');
    if (text.size() < width)
        line += QString(width - text.size(), QLatin1Char(' '));
    line += QLatin1Char('\t');
}

QByteArray clipboardText(const TextTable& table) {
    const QList<int> widths = table.widths(false);
    // Room for every row at full width (exact for ASCII text), so a large text is not
    // copied again and again while it grows.
    qsizetype estimate = 0;
    for (const int width : widths)
        estimate += width + 1;
    QByteArray text;
    text.reserve((estimate + 2) * table.rowCount());
    QString line;
    for (int row = 0; row < table.rowCount(); ++row) {
        if (!table.isTicked(row))
            continue;
        line.clear();
        for (int column = 0; column < widths.size(); ++column)
            appendCell(line, table.cell(row, column), widths[column]);
        line.chop(1);
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        text += line.toUtf8();
        text += "\r\n";
    }
    text.squeeze();
    return text;
}

int rowProgress(int row, int rows) {
    if (rows <= 0)
        return 0;
    return static_cast<int>((rows / 2000 + row) * 100.0 / rows);
}

} // namespace output
