#include "tool/PdfText.h"

#include <array>
#include <cstdint>

namespace pdfinfodump {
namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

// PDFDocEncoding where it differs from ISO 8859-1. Bytes 0x18 to 0x1F are spacing
// diacritics, not control characters; 0x80 to 0xA0 are typographic signs. 0x7F, 0x9F and
// 0xAD have no character of their own: 0x9F becomes U+FFFD, the other two keep their
// ISO 8859-1 value, as other dump tools print them.
char32_t pdfDocCharacter(unsigned char byte) {
    static constexpr std::array<char32_t, 8> diacritics = {0x02D8, 0x02C7, 0x02C6, 0x02D9,
                                                           0x02DD, 0x02DB, 0x02DA, 0x02DC};
    static constexpr std::array<char32_t, 33> signs = {
        0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044, 0x2039, 0x203A, 0x2212,
        0x2030, 0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141,
        0x0152, 0x0160, 0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E, 0xFFFD, 0x20AC};
    if (byte >= 0x18 && byte <= 0x1F) {
        return diacritics[byte - 0x18];
    }
    if (byte >= 0x80 && byte <= 0xA0) {
        return signs[byte - 0x80];
    }
    return byte;
}

std::u32string decodePdfDoc(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        text.push_back(pdfDocCharacter(static_cast<unsigned char>(byte)));
    }
    return text;
}

std::u32string decodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u32string text;
    text.reserve(bytes.size() / 2);
    auto unitAt = [&](std::size_t i) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (char32_t{first} << 8) | second : (char32_t{second} << 8) | first;
    };
    const std::size_t end = bytes.size() - bytes.size() % 2;
    for (std::size_t i = 0; i < end; i += 2) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 2 < end) {
            const char32_t next = unitAt(i + 2);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                text.push_back(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                i += 2;
                continue;
            }
        }
        text.push_back(unit);
    }
    return text;
}

// The length of the sequence a UTF-8 lead byte starts (0: not a lead byte), its value bits
// and the smallest code point that needs that many bytes (anything below is overlong).
struct Utf8Lead {
    int length;
    char32_t bits;
    char32_t smallest;
};

Utf8Lead utf8Lead(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return {2, char32_t{lead} & 0x1F, 0x80};
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return {3, char32_t{lead} & 0x0F, 0x800};
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return {4, char32_t{lead} & 0x07, 0x10000};
    }
    return {0, 0, 0};
}

std::u32string decodeUtf8(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            text.push_back(lead);
            ++i;
            continue;
        }
        const Utf8Lead sequence = utf8Lead(lead);
        char32_t value = sequence.bits;
        std::size_t taken = 1;
        while (taken < static_cast<std::size_t>(sequence.length) && i + taken < bytes.size() &&
               (static_cast<unsigned char>(bytes[i + taken]) & 0xC0) == 0x80) {
            value = (value << 6) | (static_cast<unsigned char>(bytes[i + taken]) & 0x3F);
            ++taken;
        }
        const bool valid = sequence.length > 0 &&
                           taken == static_cast<std::size_t>(sequence.length) &&
                           value >= sequence.smallest && value <= 0x10FFFF &&
                           !(value >= 0xD800 && value <= 0xDFFF);
        text.push_back(valid ? value : replacementCharacter);
        // A broken sequence costs only the bytes that were read as part of it.
        i += taken;
    }
    return text;
}

bool startsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

} // namespace

std::u32string decodeTextString(std::string_view bytes) {
    if (startsWith(bytes, "\xFE\xFF")) {
        return decodeUtf16(bytes.substr(2), true);
    }
    if (startsWith(bytes, "\xFF\xFE")) {
        return decodeUtf16(bytes.substr(2), false);
    }
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        return decodeUtf8(bytes.substr(3));
    }
    return decodePdfDoc(bytes);
}

std::u32string decodeNameBytes(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        text.push_back(static_cast<unsigned char>(byte));
    }
    return text;
}

} // namespace pdfinfodump
