#include "output/SpreadsheetFormat.h"

namespace output {

namespace {

// The length of the run of `c` starting at `at`.
qsizetype runLength(const QString& format, qsizetype at) {
    qsizetype end = at;
    while (end < format.size() && format[end] == format[at])
        ++end;
    return end - at;
}

// Literal text as a spreadsheet format shows it: quoted, since letters and many signs mean
// something there.
QString literal(const QString& text) {
    if (text.isEmpty())
        return {};
    QString quoted = text;
    quoted.remove(QLatin1Char('"'));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool isPlainSeparator(QChar c) {
    return QStringLiteral(" /:-.,").contains(c);
}

} // namespace

QString spreadsheetDateFormat(const QString& qtFormat) {
    QString result;
    QString pendingLiteral;
    const auto flushLiteral = [&] { result += literal(std::exchange(pendingLiteral, {})); };
    for (qsizetype i = 0; i < qtFormat.size();) {
        const QChar c = qtFormat[i];
        if (c == QLatin1Char('\'')) {
            // Quoted text; two quotes in a row stand for one.
            qsizetype end = i + 1;
            while (end < qtFormat.size()) {
                if (qtFormat[end] == QLatin1Char('\'') && end + 1 < qtFormat.size() &&
                    qtFormat[end + 1] == QLatin1Char('\'')) {
                    pendingLiteral += QLatin1Char('\'');
                    end += 2;
                } else if (qtFormat[end] == QLatin1Char('\'')) {
                    break;
                } else {
                    pendingLiteral += qtFormat[end++];
                }
            }
            i = end + 1;
            continue;
        }
        const qsizetype run = runLength(qtFormat, i);
        QString code;
        switch (c.unicode()) {
        case 'd':
        case 'y':
        case 's':
        case 'm':
            code = QString(run, c);
            break;
        case 'M':
            code = QString(run, QLatin1Char('m'));
            break;
        case 'h':
        case 'H':
            code = QString(std::min<qsizetype>(run, 2), QLatin1Char('h'));
            break;
        case 'A':
        case 'a':
            // "AP" or "ap" (or a lone A) is the twelve-hour marker.
            code = QStringLiteral("AM/PM");
            if (run == 1 && i + 1 < qtFormat.size() &&
                qtFormat[i + 1].toLower() == QLatin1Char('p')) {
                i += 2;
                flushLiteral();
                result += code;
                continue;
            }
            break;
        case 't':
            i += run;
            continue;
        case 'z':
            i += run; // milliseconds are never shown in the table
            continue;
        default:
            if (isPlainSeparator(c))
                code = QString(c);
            break;
        }
        if (code.isEmpty()) {
            pendingLiteral += QString(run, c);
        } else {
            flushLiteral();
            result += code;
        }
        i += run;
    }
    flushLiteral();
    return result.trimmed();
}

} // namespace output
