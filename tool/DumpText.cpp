#include "tool/DumpText.h"

namespace pdfinfodump {
namespace {

void appendReference(std::string& out, char32_t character) {
    out += "&#";
    out += std::to_string(static_cast<unsigned long>(character));
    out += ';';
}

void appendUtf8(std::string& out, char32_t character) {
    if (character < 0x80) {
        out += static_cast<char>(character);
    } else if (character < 0x800) {
        out += static_cast<char>(0xC0 | (character >> 6));
        out += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        out += static_cast<char>(0xE0 | (character >> 12));
        out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (character >> 18));
        out += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (character & 0x3F));
    }
}

bool isSurrogate(char32_t character) {
    return character >= 0xD800 && character <= 0xDFFF;
}

// The entity for the five characters the escaped style names, or nullptr.
const char* entityFor(char32_t character) {
    switch (character) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&apos;";
    default:
        return nullptr;
    }
}

} // namespace

void appendDumpText(std::string& out, std::u32string_view text, TextStyle style) {
    for (const char32_t character : text) {
        if (character == '\t' || character == '\n' || character == '\r') {
            appendReference(out, character);
        } else if (character < 0x20 || isSurrogate(character) || character > 0x10FFFF) {
            continue;
        } else if (style == TextStyle::Utf8) {
            appendUtf8(out, character);
        } else if (const char* entity = entityFor(character)) {
            out += entity;
        } else if (character >= 0x7F) {
            appendReference(out, character);
        } else {
            out += static_cast<char>(character);
        }
    }
}

} // namespace pdfinfodump
