#include "output/CsvText.h"

namespace output {

QString csvLine(const QStringList& fields) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        const QString& field = fields[i];
        const bool quoted = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                            field.contains(QLatin1Char('\r')) || field.contains(QLatin1Char('\n'));
        if (!quoted) {
            line += field;
            continue;
        }
        line += QLatin1Char('"');
        line += QString(field).replace(QLatin1Char('"'), QLatin1String("\"\""));
        line += QLatin1Char('"');
    }
    return line;
}

} // namespace output
