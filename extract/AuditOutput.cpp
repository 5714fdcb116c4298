#include "extract/AuditOutput.h"

#include "extract/ToolOutput.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace extract {

namespace {

// A value the tool would not write, kept as text: decoded as the tool's text is, so that it
// shows as one line like every other value.
base::CellValue otherText(const QString& text) {
    return decodedValue(text);
}

std::optional<bool> yesOrNo(const QString& text) {
    if (text == QLatin1String("Yes"))
        return true;
    if (text == QLatin1String("No"))
        return false;
    return std::nullopt;
}

base::CellValue answerValue(const QString& text, const QString&) {
    const std::optional<bool> answer = yesOrNo(text);
    return answer ? base::CellValue::boolean(*answer) : otherText(text);
}

// A count as a whole number when it is written as one; anything else stays its text.
base::CellValue countValue(const QString& text, const QString&) {
    bool ok = false;
    const qlonglong count = text.toLongLong(&ok);
    if (ok && count >= 0 && QString::number(count) == text)
        return base::CellValue::integer(count);
    return otherText(text);
}

// "W H" in points, each a number as C's %g writes it.
base::CellValue pageSizeValue(const QString& text, const QString& varies) {
    const QStringList parts = text.split(QLatin1Char(' '));
    bool widthOk = false;
    bool heightOk = false;
    const double width = parts.size() == 2 ? parts[0].toDouble(&widthOk) : 0;
    const double height = parts.size() == 2 ? parts[1].toDouble(&heightOk) : 0;
    if (!widthOk || !heightOk || !std::isfinite(width) || !std::isfinite(height) || width < 0 ||
        height < 0)
        return otherText(text);
    return base::CellValue::pageSize({width, height, yesOrNo(varies).value_or(false)});
}

base::CellValue encryptionValue(const QString& text, const QString& passwordToOpen) {
    using Method = base::EncryptionValue::Method;
    static const QList<std::pair<QString, Method>> methods = {
        {QStringLiteral("None"), Method::None},
        {QStringLiteral("RC4-40"), Method::Rc4With40Bits},
        {QStringLiteral("RC4-128"), Method::Rc4With128Bits},
        {QStringLiteral("AES-128"), Method::Aes128},
        {QStringLiteral("AES-256"), Method::Aes256},
    };
    for (const auto& [name, method] : methods)
        if (text == name)
            return base::CellValue::encryption({method, yesOrNo(passwordToOpen).value_or(false)});
    return otherText(text);
}

base::CellValue formValue(const QString& text, const QString&) {
    if (text == QLatin1String("None"))
        return base::CellValue::form(base::FormKind::None);
    if (text == QLatin1String("AcroForm"))
        return base::CellValue::form(base::FormKind::AcroForm);
    if (text == QLatin1String("XFA"))
        return base::CellValue::form(base::FormKind::Xfa);
    return otherText(text);
}

// The claim "2B" as "PDF/A-2b": the part, then the conformance level in small letters.
base::CellValue pdfAValue(const QString& escaped, const QString&) {
    const QString claim = decodedValue(escaped);
    if (claim.isEmpty())
        return {};
    static const QRegularExpression partAndLevel(QStringLiteral("^([0-9]+)([A-Za-z]*)$"));
    const QRegularExpressionMatch match = partAndLevel.match(claim);
    if (!match.hasMatch())
        return QStringLiteral("PDF/A-") + claim;
    return QStringLiteral("PDF/A-") + match.captured(1) + match.captured(2).toLower();
}

base::CellValue languageValue(const QString& escaped, const QString&) {
    return decodedValue(escaped);
}

// Each property's line, the line that completes it, and how its value is read from them.
struct AuditKey {
    base::Property property;
    QString key;
    QString companion; // empty when none
    base::CellValue (*read)(const QString& text, const QString& companion);
};

const QList<AuditKey>& auditKeys() {
    using enum base::Property;
    static const QList<AuditKey> keys = {
        {PageSize, QStringLiteral("PageSize"), QStringLiteral("PageSizeVaries"), pageSizeValue},
        {Encryption, QStringLiteral("Encryption"), QStringLiteral("PasswordToOpen"),
         encryptionValue},
        {Tagged, QStringLiteral("Tagged"), {}, answerValue},
        {Language, QStringLiteral("Language"), {}, languageValue},
        {PdfA, QStringLiteral("PdfA"), {}, pdfAValue},
        {Linearized, QStringLiteral("Linearized"), {}, answerValue},
        {Form, QStringLiteral("Form"), {}, formValue},
        {JavaScript, QStringLiteral("JavaScript"), {}, answerValue},
        {Attachments, QStringLiteral("Attachments"), {}, countValue},
        {Signatures, QStringLiteral("Signatures"), {}, countValue},
    };
    return keys;
}

bool isAuditKey(const QString& key) {
    return std::any_of(auditKeys().begin(), auditKeys().end(), [&](const AuditKey& known) {
        return key == known.key || key == known.companion;
    });
}

} // namespace

bool AuditOutput::take(const QString& line) {
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon <= 0 || (colon + 1 < line.size() && line[colon + 1] != QLatin1Char(' ')))
        return false;
    const QString key = line.left(colon);
    if (!isAuditKey(key))
        return false;
    texts.insert(key, line.mid(colon + 2));
    return true;
}

std::optional<base::CellValue> AuditOutput::valueOf(base::Property property) const {
    for (const AuditKey& known : auditKeys()) {
        if (known.property != property)
            continue;
        const auto found = texts.constFind(known.key);
        if (found == texts.constEnd() || found->isEmpty())
            return std::nullopt;
        return known.read(*found, texts.value(known.companion));
    }
    return std::nullopt;
}

} // namespace extract
