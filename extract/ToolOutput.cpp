#include "extract/ToolOutput.h"

#include "base/PropertySet.h"
#include "extract/PdfDate.h"

#include <QList>
#include <QStringConverter>

namespace extract {

namespace {

enum class Rule { Plain, PageCount, Date };

struct Marker {
    QString text;
    QString header;
    Rule rule;
};

// Tested in this order on every line.
const QList<Marker>& markers() {
    static const QList<Marker> table = {
        {QStringLiteral("InfoKey: Creator"), base::creatorHeader, Rule::Plain},
        {QStringLiteral("InfoKey: Producer"), base::producerHeader, Rule::Plain},
        {QStringLiteral("InfoKey: Title"), base::titleHeader, Rule::Plain},
        {QStringLiteral("InfoKey: Author"), base::authorHeader, Rule::Plain},
        {QStringLiteral("NumberOfPages:"), base::pagesHeader, Rule::PageCount},
        {QStringLiteral("InfoKey: Subject"), base::subjectHeader, Rule::Plain},
        {QStringLiteral("InfoKey: Keywords"), base::keywordsHeader, Rule::Plain},
        {QStringLiteral("InfoKey: ModDate"), base::modifiedHeader, Rule::Date},
        {QStringLiteral("InfoKey: CreationDate"), base::createdHeader, Rule::Date},
    };
    return table;
}

const QString valueLabel = QStringLiteral("InfoValue:");

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

// Trimmed after decoding: an encoded line break at either end becomes a blank that goes too.
QString plainValue(const QString& line) {
    return trimBlanks(decodeToolText(QString(line).remove(valueLabel)));
}

QString decodeBytes(const QByteArray& bytes) {
    auto fromUtf8 = QStringDecoder(QStringDecoder::Utf8);
    QString text = fromUtf8(bytes);
    // A tool that writes another single-byte encoding still gives one character per byte.
    return fromUtf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QStringList splitLines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return lines;
}

// The named escapes and numeric references of the tool, decoded at `at` (which holds '&').
// Returns the number of characters consumed, 0 when nothing there is a reference.
qsizetype decodeReference(const QString& text, qsizetype at, QString& decoded) {
    const qsizetype end = text.indexOf(QLatin1Char(';'), at + 1);
    if (end < 0 || end - at > 12)
        return 0;
    const QStringView name = QStringView(text).mid(at + 1, end - at - 1);
    static const QList<std::pair<QString, QChar>> named = {
        {QStringLiteral("amp"), QLatin1Char('&')},   {QStringLiteral("lt"), QLatin1Char('<')},
        {QStringLiteral("gt"), QLatin1Char('>')},    {QStringLiteral("quot"), QLatin1Char('"')},
        {QStringLiteral("apos"), QLatin1Char('\'')},
    };
    for (const auto& [escape, character] : named)
        if (name == escape) {
            decoded += character;
            return end - at + 1;
        }
    if (name.size() < 2 || name[0] != QLatin1Char('#'))
        return 0;
    bool ok = false;
    const uint codePoint = name[1] == QLatin1Char('x') || name[1] == QLatin1Char('X')
                               ? name.mid(2).toUInt(&ok, 16)
                               : name.mid(1).toUInt(&ok, 10);
    if (!ok || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    if (codePoint == '\n' || codePoint == '\r')
        decoded += QLatin1Char(' ');
    else if (codePoint != 0)
        decoded += QString::fromUcs4(reinterpret_cast<const char32_t*>(&codePoint), 1);
    return end - at + 1;
}

} // namespace

QString decodeToolText(const QString& text) {
    QString decoded;
    decoded.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c == QLatin1Char('&')) {
            if (const qsizetype used = decodeReference(text, i, decoded)) {
                i += used;
                continue;
            }
        }
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            decoded += QLatin1Char(' ');
        else if (c != QChar(0))
            decoded += c;
        ++i;
    }
    return decoded;
}

ToolOutputReading readToolOutput(const QByteArray& output, const QStringList& headers,
                                 const QLocale& locale) {
    ToolOutputReading reading;
    const QStringList lines = splitLines(decodeBytes(output));
    for (qsizetype number = 0; number < lines.size(); ++number) {
        const QString& line = lines[number];
        // A value is never read as a key, whatever text it holds.
        if (line.startsWith(valueLabel))
            continue;
        for (const Marker& marker : markers()) {
            if (!line.contains(marker.text))
                continue;
            const int column = base::columnIndexOf(headers, marker.header);
            if (column <= 0)
                continue;
            if (marker.rule == Rule::PageCount) {
                reading.cells.append(
                    {column, trimBlanks(decodeToolText(QString(line).remove(marker.text)))});
                continue;
            }
            if (number + 1 >= lines.size() ||
                (number + 2 == lines.size() && lines.last().isEmpty())) {
                reading.problems.append(
                    QStringLiteral("Input past end of file: the entry \"%1\" has no value line.")
                        .arg(line));
                continue;
            }
            const QString value = plainValue(lines[number + 1]);
            if (marker.rule == Rule::Plain) {
                reading.cells.append({column, value});
                continue;
            }
            const base::Result<PdfDateText> date = convertPdfDate(value, locale);
            if (!date.ok()) {
                reading.problems.append(date.error());
                continue;
            }
            reading.cells.append({column, date.value().text});
            if (!date.value().timeError.isEmpty())
                reading.problems.append(date.value().timeError);
        }
    }
    return reading;
}

} // namespace extract
