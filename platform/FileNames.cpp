#include "platform/FileNames.h"

#include <algorithm>

namespace platform {

namespace {

constexpr char16_t escapeBase = 0xDC00;

// A byte stands as a lone low surrogate; the low half of a character beyond U+FFFF may take
// the same value, but it always follows its high half.
bool isEscapedByte(const QString& name, qsizetype at) {
    const char16_t unit = name[at].unicode();
    return unit >= 0xDC80 && unit <= 0xDCFF && (at == 0 || !name[at - 1].isHighSurrogate());
}

// The length of the valid UTF-8 sequence that starts at bytes[at], or 0 when none does.
// Overlong forms, surrogates and code points past U+10FFFF are not valid.
qsizetype validSequenceAt(QByteArrayView bytes, qsizetype at, char32_t& codePoint) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    qsizetype length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1Fu, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0Fu, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07u, minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (qsizetype i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0u) != 0x80u)
            return 0;
        codePoint = (codePoint << 6) | (byte(at + i) & 0x3Fu);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString decodeFileName(QByteArrayView bytes) {
    // Most names are ASCII: one pass that only widens.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    QString name;
    name.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            name += QChar(lead);
            ++at;
            continue;
        }
        char32_t codePoint = 0;
        if (const qsizetype length = validSequenceAt(bytes, at, codePoint)) {
            name += QString::fromUcs4(&codePoint, 1);
            at += length;
        } else {
            name += QChar(static_cast<char16_t>(escapeBase + lead));
            ++at;
        }
    }
    return name;
}

QByteArray encodeFileName(const QString& name) {
    if (!hasUndecodableBytes(name))
        return name.toUtf8();
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscapedByte(name, i))
            continue;
        bytes += QStringView(name).mid(runStart, i - runStart).toUtf8();
        bytes += static_cast<char>(name[i].unicode() - escapeBase);
        runStart = i + 1;
    }
    bytes += QStringView(name).mid(runStart).toUtf8();
    return bytes;
}

bool hasUndecodableBytes(const QString& name) {
    for (qsizetype i = 0; i < name.size(); ++i)
        if (isEscapedByte(name, i))
            return true;
    return false;
}

} // namespace platform
