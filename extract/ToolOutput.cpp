#include "extract/ToolOutput.h"

#include "extract/AuditOutput.h"
#include "extract/PdfDate.h"

#include <QList>
#include <QStringConverter>
#include <QVarLengthArray>

#include <algorithm>

namespace extract {

namespace {

enum class Rule { Plain, PageCount, Date };

struct Marker {
    QString text;
    base::Property property;
    Rule rule;
};

// Tested in this order on every line.
const QList<Marker>& markers() {
    using enum base::Property;
    static const QList<Marker> table = {
        {QStringLiteral("InfoKey: Creator"), Creator, Rule::Plain},
        {QStringLiteral("InfoKey: Producer"), Producer, Rule::Plain},
        {QStringLiteral("InfoKey: Title"), Title, Rule::Plain},
        {QStringLiteral("InfoKey: Author"), Author, Rule::Plain},
        {QStringLiteral("NumberOfPages:"), Pages, Rule::PageCount},
        {QStringLiteral("InfoKey: Subject"), Subject, Rule::Plain},
        {QStringLiteral("InfoKey: Keywords"), Keywords, Rule::Plain},
        {QStringLiteral("InfoKey: ModDate"), Modified, Rule::Date},
        {QStringLiteral("InfoKey: CreationDate"), Created, Rule::Date},
    };
    return table;
}

// A page count as a whole number when its text is one, written as a number is written;
// anything else stays the text the tool gave.
base::CellValue pageCountValue(const QString& text) {
    bool ok = false;
    const qlonglong pages = text.toLongLong(&ok);
    if (ok && QString::number(pages) == text)
        return base::CellValue::integer(pages);
    return text;
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

QString plainValue(const QString& line) {
    return decodedValue(line.contains(valueLabel) ? QString(line).remove(valueLabel) : line);
}

const QString keyLabel = QStringLiteral("InfoKey: ");

// Whether a line holds markers: each of them, bar the page count's, is keyLabel and a key, so
// a line holds one where keyLabel followed by the key starts. The places of keyLabel are
// found once per line rather than each marker searched for throughout it.
class MarkerSearch {
public:
    explicit MarkerSearch(const QString& text) : line(text) {
        for (qsizetype at = text.indexOf(keyLabel); at >= 0; at = text.indexOf(keyLabel, at + 1))
            keyPlaces.append(at);
    }
    bool holds(const Marker& marker) const {
        if (marker.rule == Rule::PageCount)
            return line.contains(marker.text);
        return std::any_of(keyPlaces.cbegin(), keyPlaces.cend(), [&](qsizetype at) {
            return QStringView(line).sliced(at).startsWith(marker.text);
        });
    }

private:
    const QString& line;
    QVarLengthArray<qsizetype, 2> keyPlaces;
};

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

// Trimmed after decoding: an encoded line break at either end becomes a blank that goes too.
QString decodedValue(const QString& escaped) {
    return trimBlanks(decodeToolText(escaped));
}

QString firstErrorLine(const QByteArray& errorOutput) {
    const QList<QByteArray> lines = errorOutput.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString text = QString::fromUtf8(lines[i]).trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1String("pdftk: warning:")))
            continue;
        // A line that ends in a colon goes on in the indented lines below it (pdftk-java:
        // "Error: Failed to open input PDF file:", the file, "OWNER OR USER PASSWORD
        // REQUIRED, but not given"): they are the reason.
        if (text.endsWith(QLatin1Char(':'))) {
            for (qsizetype next = i + 1; next < lines.size(); ++next) {
                const QByteArray& line = lines[next];
                if (line.isEmpty() || (line[0] != ' ' && line[0] != '\t'))
                    break;
                text += QLatin1Char(' ') + QString::fromUtf8(line).trimmed();
            }
        }
        return text;
    }
    return {};
}

QString decodeToolText(const QString& text) {
    // Most values hold nothing to decode: they are shared as they are.
    const bool plain = std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == QLatin1Char('&') || c == QLatin1Char('\r') || c == QLatin1Char('\n') ||
               c == QChar(0);
    });
    if (plain)
        return text;
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

ToolOutputReading readToolOutput(const QByteArray& output, const base::Columns& wanted) {
    ToolOutputReading reading;
    const QStringList lines = splitLines(decodeBytes(output));
    AuditOutput audit;
    for (qsizetype number = 0; number < lines.size(); ++number) {
        const QString& line = lines[number];
        // A value is never read as a key, whatever text it holds; nor is an audit line, whose
        // language or PDF/A claim is the document's text too.
        if (line.startsWith(valueLabel) || audit.take(line))
            continue;
        const MarkerSearch search(line);
        for (const Marker& marker : markers()) {
            if (!search.holds(marker) || !wanted.contains(marker.property))
                continue;
            if (marker.rule == Rule::PageCount) {
                reading.values.append({marker.property, pageCountValue(trimBlanks(decodeToolText(
                                                            QString(line).remove(marker.text))))});
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
                reading.values.append({marker.property, value});
                continue;
            }
            const base::Result<PdfDateReading> date = readPdfDate(value);
            if (!date.ok()) {
                reading.problems.append(date.error());
                continue;
            }
            reading.values.append(
                {marker.property, base::CellValue::dateTime(date.value().moment)});
            if (!date.value().timeError.isEmpty())
                reading.problems.append(date.value().timeError);
        }
    }
    for (const base::Property property : wanted)
        if (base::infoOf(property).source == base::Source::ToolAudit)
            if (std::optional<base::CellValue> value = audit.valueOf(property))
                reading.values.append({property, std::move(*value)});
    return reading;
}

} // namespace extract
