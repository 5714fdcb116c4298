#include "tool/XmpProperties.h"

namespace pdfinfodump {
namespace {

// Reads exactly count digits at pos into value, within [low, high], and moves pos past them.
bool readNumber(std::string_view text, std::size_t& pos, std::size_t count, int low, int high,
                std::string& out) {
    if (pos + count > text.size()) {
        return false;
    }
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    if (value < low || value > high) {
        return false;
    }
    out.append(text.substr(pos, count));
    pos += count;
    return true;
}

bool take(std::string_view text, std::size_t& pos, char expected) {
    if (pos < text.size() && text[pos] == expected) {
        ++pos;
        return true;
    }
    return false;
}

} // namespace

std::optional<std::string> xmpDateAsPdfDate(std::string_view date) {
    std::string pdf = "D:";
    std::size_t pos = 0;
    if (!readNumber(date, pos, 4, 0, 9999, pdf)) {
        return std::nullopt;
    }
    // A date without its month or day means the first: PDF dates default them to 01, and
    // readers of PDF dates want at least YYYYMMDD.
    if (!take(date, pos, '-')) {
        pdf += "0101";
    } else {
        if (!readNumber(date, pos, 2, 1, 12, pdf)) {
            return std::nullopt;
        }
        if (!take(date, pos, '-')) {
            pdf += "01";
        } else {
            if (!readNumber(date, pos, 2, 1, 31, pdf)) {
                return std::nullopt;
            }
            if (take(date, pos, 'T')) {
                if (!readNumber(date, pos, 2, 0, 23, pdf) || !take(date, pos, ':') ||
                    !readNumber(date, pos, 2, 0, 59, pdf)) {
                    return std::nullopt;
                }
                if (take(date, pos, ':')) {
                    if (!readNumber(date, pos, 2, 0, 60, pdf)) {
                        return std::nullopt;
                    }
                    if (take(date, pos, '.')) {
                        const std::size_t digits = pos;
                        while (pos < date.size() && date[pos] >= '0' && date[pos] <= '9') {
                            ++pos;
                        }
                        if (pos == digits) {
                            return std::nullopt;
                        }
                    }
                } else {
                    pdf += "00";
                }
                if (take(date, pos, 'Z')) {
                    pdf += 'Z';
                } else if (pos < date.size() && (date[pos] == '+' || date[pos] == '-')) {
                    pdf += date[pos++];
                    if (!readNumber(date, pos, 2, 0, 23, pdf) || !take(date, pos, ':')) {
                        return std::nullopt;
                    }
                    pdf += '\'';
                    if (!readNumber(date, pos, 2, 0, 59, pdf)) {
                        return std::nullopt;
                    }
                    pdf += '\'';
                }
            }
        }
    }
    if (pos != date.size()) {
        return std::nullopt;
    }
    return pdf;
}

} // namespace pdfinfodump
