#include "platform/DateTimeFormats.h"

#include <QRegularExpression>
#include <QStringList>

namespace platform {

namespace {

// A format as pieces: quoted literal text stays whole (quotes included), every other
// character is a piece of its own.
QStringList formatPieces(const QString& format) {
    QStringList pieces;
    for (qsizetype i = 0; i < format.size();) {
        if (format[i] != QLatin1Char('\'')) {
            pieces.append(format.mid(i++, 1));
            continue;
        }
        qsizetype end = i + 1;
        // Inside quotes, two quotes stand for one; the literal ends at a single quote.
        while (end < format.size()) {
            if (format[end] == QLatin1Char('\'') && end + 1 < format.size() &&
                format[end + 1] == QLatin1Char('\''))
                end += 2;
            else if (format[end] == QLatin1Char('\''))
                break;
            else
                ++end;
        }
        pieces.append(format.mid(i, end + 1 - i));
        i = end + 1;
    }
    return pieces;
}

// The last format made from a locale's format, and what it was made from: reading dates
// asks for the same one for every cell, and making it parses the format each time.
struct LastDerivedFormat {
    QString from;
    QString made;

    template <typename Make> QString get(const QString& source, Make make) {
        if (made.isNull() || from != source) {
            made = make(source);
            from = source;
        }
        return made;
    }
};

bool isSeparator(const QString& piece) {
    return piece == QLatin1String(" ") || piece == QLatin1String(",");
}

} // namespace

QString shortDateFormatWithFullYear(const QLocale& locale) {
    thread_local LastDerivedFormat last;
    return last.get(locale.dateFormat(QLocale::ShortFormat), [](QString format) {
        // "yy" alone becomes "yyyy"; a year already in full stays as it is.
        static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
        return format.replace(shortYear, QStringLiteral("yyyy"));
    });
}

QString formatWithoutZone(const QString& format) {
    QStringList pieces = formatPieces(format);
    for (qsizetype i = 0; i < pieces.size();) {
        if (pieces[i] != QLatin1String("t")) {
            ++i;
            continue;
        }
        qsizetype first = i;
        qsizetype last = i;
        while (last + 1 < pieces.size() && pieces[last + 1] == QLatin1String("t"))
            ++last;
        // A zone in brackets goes with its brackets: "(t)", "[t]".
        if (first > 0 && last + 1 < pieces.size() &&
            ((pieces[first - 1] == QLatin1String("(") && pieces[last + 1] == QLatin1String(")")) ||
             (pieces[first - 1] == QLatin1String("[") && pieces[last + 1] == QLatin1String("]")))) {
            --first;
            ++last;
        }
        pieces.remove(first, last - first + 1);
        i = first;
    }
    // What separated the zone from the time goes with it: blanks and commas at either end,
    // and doubled blanks inside.
    while (!pieces.isEmpty() && isSeparator(pieces.constFirst()))
        pieces.removeFirst();
    while (!pieces.isEmpty() && isSeparator(pieces.constLast()))
        pieces.removeLast();
    for (qsizetype i = 1; i < pieces.size();) {
        if (pieces[i] == QLatin1String(" ") && pieces[i - 1] == QLatin1String(" "))
            pieces.removeAt(i);
        else
            ++i;
    }
    return pieces.join(QString());
}

bool formatShows(const QString& format, QChar letter) {
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted; // '' inside quoted text leaves it and enters it again
        else if (!quoted && c == letter)
            return true;
    }
    return false;
}

QString longTimeFormatWithoutZone(const QLocale& locale) {
    thread_local LastDerivedFormat last;
    return last.get(locale.timeFormat(QLocale::LongFormat), formatWithoutZone);
}

QString fileDateTimeFormat(const QLocale& locale) {
    return shortDateFormatWithFullYear(locale) + QLatin1Char(' ') +
           locale.timeFormat(QLocale::ShortFormat);
}

} // namespace platform
