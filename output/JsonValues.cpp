#include "output/JsonValues.h"

#include "base/PaperSizes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>

namespace output {

namespace {

QString offsetText(int offsetSeconds) {
    const int minutes = std::abs(offsetSeconds) / 60;
    return QStringLiteral("%1%2:%3")
        .arg(offsetSeconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QJsonValue dateTimeJson(const base::DateTimeValue& moment) {
    if (!moment.date.isValid())
        return QJsonValue::Null;
    QString text = moment.date.toString(Qt::ISODate);
    if (moment.kind == base::DateTimeValue::Kind::DocumentDate || !moment.time.isValid())
        return text;
    text += QLatin1Char('T') + moment.time.toString(QStringLiteral("HH:mm:ss"));
    if (moment.offsetSeconds)
        text += offsetText(*moment.offsetSeconds);
    return text;
}

QJsonValue pageSizeJson(const base::PageSizeValue& size) {
    const QString name = base::paperName(size.width, size.height);
    return QJsonObject{{QStringLiteral("width"), size.width},
                       {QStringLiteral("height"), size.height},
                       {QStringLiteral("name"), name.isEmpty() ? QJsonValue() : QJsonValue(name)}};
}

QString encryptionCode(base::EncryptionValue::Method method) {
    using Method = base::EncryptionValue::Method;
    switch (method) {
    case Method::None:
        return QStringLiteral("none");
    case Method::Rc4With40Bits:
        return QStringLiteral("RC4-40");
    case Method::Rc4With128Bits:
        return QStringLiteral("RC4-128");
    case Method::Aes128:
        return QStringLiteral("AES-128");
    case Method::Aes256:
        return QStringLiteral("AES-256");
    }
    return {};
}

QString formCode(base::FormKind kind) {
    switch (kind) {
    case base::FormKind::None:
        return QStringLiteral("none");
    case base::FormKind::AcroForm:
        return QStringLiteral("AcroForm");
    case base::FormKind::Xfa:
        return QStringLiteral("XFA");
    }
    return {};
}

} // namespace

QJsonValue jsonValueOf(const base::CellValue& value) {
    if (value.isText())
        return value.text();
    if (value.isInteger())
        return value.integerValue();
    if (value.isByteCount())
        return value.byteCountValue();
    if (value.isBoolean())
        return value.booleanValue();
    if (value.isDateTime())
        return dateTimeJson(value.dateTimeValue());
    if (value.isPageSize())
        return pageSizeJson(value.pageSizeValue());
    if (value.isEncryption())
        return encryptionCode(value.encryptionValue().method);
    if (value.isForm())
        return formCode(value.formValue());
    return QJsonValue::Null;
}

namespace {

// A value as Qt's JSON writer writes it, for the values written rarely (page sizes, dates
// beyond four-digit years).
void appendValue(QByteArray& text, const QJsonValue& value) {
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    text += QByteArrayView(array).sliced(1, array.size() - 2);
}

char hexDigit(unsigned value) {
    return static_cast<char>(value < 10 ? '0' + value : 'a' + value - 10);
}

// An ASCII character inside a JSON string: quote, backslash and control characters escaped.
void appendAscii(QByteArray& text, char16_t c) {
    if (c >= 0x20 && c != '"' && c != '\\') {
        text += static_cast<char>(c);
        return;
    }
    text += '\\';
    switch (c) {
    case '"':
    case '\\':
        text += static_cast<char>(c);
        break;
    case '\b':
        text += 'b';
        break;
    case '\f':
        text += 'f';
        break;
    case '\n':
        text += 'n';
        break;
    case '\r':
        text += 'r';
        break;
    case '\t':
        text += 't';
        break;
    default:
        text += "u00";
        text += hexDigit(c >> 4);
        text += hexDigit(c & 0xF);
    }
}

// A string in UTF-8 as a JSON string.
void appendString(QByteArray& text, QByteArrayView utf8) {
    text += '"';
    for (const char byte : utf8) {
        if (static_cast<unsigned char>(byte) >= 0x80)
            text += byte;
        else
            appendAscii(text, static_cast<char16_t>(byte));
    }
    text += '"';
}

// A string as a JSON string; a lone surrogate (a name that was not UTF-8 can hold one) as its
// escape, as it has no UTF-8.
void appendString(QByteArray& text, QStringView string) {
    text += '"';
    for (qsizetype i = 0; i < string.size(); ++i) {
        const char16_t c = string[i].unicode();
        if (c < 0x80) {
            appendAscii(text, c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < string.size() &&
                   string[i + 1].isLowSurrogate()) {
            text += string.sliced(i, 2).toUtf8();
            ++i;
        } else if (QChar::isSurrogate(c)) {
            text += "\\u";
            for (const int shift : {12, 8, 4, 0})
                text += hexDigit((c >> shift) & 0xF);
        } else {
            text += string.sliced(i, 1).toUtf8();
        }
    }
    text += '"';
}

void appendTwoDigits(QByteArray& text, int value) {
    text += static_cast<char>('0' + value / 10);
    text += static_cast<char>('0' + value % 10);
}

// A date in ISO 8601, as dateTimeJson gives it; false for a year it cannot write here.
bool appendDateTime(QByteArray& text, const base::DateTimeValue& moment) {
    const QDate date = moment.date;
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return false;
    text += '"';
    appendTwoDigits(text, date.year() / 100);
    appendTwoDigits(text, date.year() % 100);
    text += '-';
    appendTwoDigits(text, date.month());
    text += '-';
    appendTwoDigits(text, date.day());
    if (moment.kind != base::DateTimeValue::Kind::DocumentDate && moment.time.isValid()) {
        text += 'T';
        appendTwoDigits(text, moment.time.hour());
        text += ':';
        appendTwoDigits(text, moment.time.minute());
        text += ':';
        appendTwoDigits(text, moment.time.second());
        if (moment.offsetSeconds)
            text += offsetText(*moment.offsetSeconds).toLatin1();
    }
    text += '"';
    return true;
}

// The member of one column after the members before it: its value, or for a text its
// bytes as the row keeps them. Keys are ASCII names that need no escapes.
void appendColumn(QByteArray& text, const char* key, const base::CellValue& value,
                  QByteArrayView utf8) {
    text += ",\"";
    text += key;
    text += "\":";
    if (!utf8.isEmpty()) {
        appendString(text, utf8);
    } else if (value.isEmpty()) {
        text += "null";
    } else if (value.isInteger() || value.isByteCount()) {
        text +=
            QByteArray::number(value.isInteger() ? value.integerValue() : value.byteCountValue());
    } else if (value.isBoolean()) {
        text += value.booleanValue() ? "true" : "false";
    } else if (value.isEncryption() || value.isForm()) {
        text += '"';
        text += jsonValueOf(value).toString().toLatin1();
        text += '"';
    } else if (!value.isDateTime() || !appendDateTime(text, value.dateTimeValue())) {
        appendValue(text, jsonValueOf(value));
    }
}

} // namespace

QByteArray jsonText(const base::Columns& columns, const base::ResultRowData& row) {
    QByteArray text;
    appendJsonText(text, columns, row);
    return text;
}

void appendJsonText(QByteArray& text, const base::Columns& columns,
                    const base::ResultRowData& row) {
    // Member by member, "file" first, the columns in their order, "error" last, as a reader
    // looks for them (an object of Qt's JSON writer would order its keys by their letters).
    text += "{\"file\":";
    appendString(text, row.path);
    int next = 1; // the column whose member comes next
    const auto nullsUpTo = [&](int column) {
        for (; next < column; ++next)
            appendColumn(text, base::infoOf(columns[next - 1]).name, {}, {});
    };
    const int last = static_cast<int>(columns.size());
    row.cells.forEachCell([&](int column, const base::CellValue& value, QByteArrayView utf8) {
        if (column < next || column > last)
            return;
        nullsUpTo(column);
        appendColumn(text, base::infoOf(columns[column - 1]).name, value, utf8);
        next = column + 1;
    });
    nullsUpTo(last + 1);
    if (!row.unreadReason.isEmpty()) {
        text += ",\"error\":";
        appendString(text, row.unreadReason);
    }
    text += '}';
}

} // namespace output
