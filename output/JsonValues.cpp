#include "output/JsonValues.h"

#include "base/PaperSizes.h"

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

// One member of an object, "key":value, as the JSON writer writes it: the object of that
// member alone, without its braces.
void appendMember(QByteArray& text, const QString& key, const QJsonValue& value) {
    const QByteArray member =
        QJsonDocument(QJsonObject{{key, value}}).toJson(QJsonDocument::Compact);
    if (text.size() > 1)
        text += ',';
    text += QByteArrayView(member).sliced(1, member.size() - 2);
}

} // namespace

QByteArray jsonText(const base::Columns& columns, const base::ResultRowData& row) {
    // Member by member, since a JSON object of the writer orders its keys by their letters:
    // "file" first, the columns in their order, "error" last, as a reader looks for them.
    QByteArray text("{");
    appendMember(text, QStringLiteral("file"), row.path);
    for (qsizetype column = 0; column < columns.size(); ++column)
        appendMember(text, QLatin1String(base::infoOf(columns[column]).name),
                     jsonValueOf(row.cells.cell(static_cast<int>(column) + 1)));
    if (!row.unreadReason.isEmpty())
        appendMember(text, QStringLiteral("error"), row.unreadReason);
    text += '}';
    return text;
}

} // namespace output
