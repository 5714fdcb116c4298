#include "output/CsvText.h"

namespace output {

void appendCsvField(QString& line, QStringView field) {
    const bool quoted = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                        field.contains(QLatin1Char('\r')) || field.contains(QLatin1Char('\n'));
    if (!quoted) {
        line += field;
        return;
    }
    line += QLatin1Char('"');
    for (const QChar c : field) {
        if (c == QLatin1Char('"'))
            line += QLatin1Char('"');
        line += c;
    }
    line += QLatin1Char('"');
}

QString csvLine(const QStringList& fields) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        appendCsvField(line, fields[i]);
    }
    return line;
}

} // namespace output
