#include "output/CsvText.h"

#include <algorithm>

namespace output {

void appendCsvField(QByteArray& line, QByteArrayView field) {
    const bool quoted = std::any_of(field.begin(), field.end(), [](char c) {
        return c == ',' || c == '"' || c == '\r' || c == '\n';
    });
    if (!quoted) {
        line += field;
        return;
    }
    line += '"';
    for (const char c : field) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

QString csvLine(const QStringList& fields) {
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        appendCsvField(line, fields[i].toUtf8());
    }
    return QString::fromUtf8(line);
}

} // namespace output
