#include "tool/DamagedFileRepair.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <vector>

namespace pdfinfodump {
namespace {

using std::size_t;
using std::string_view;

constexpr size_t npos = string_view::npos;
// Enough to look at the start of an object; the keys that classify it come first.
constexpr size_t objectWindow = 4096;
// Beyond this many object headers a file is not worth rebuilding.
constexpr size_t maxHeaders = 1'000'000;
constexpr long long largestObjectNumber = std::numeric_limits<int>::max();

bool isWhite(char c) {
    return c == '\0' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool isDelimiter(char c) {
    static constexpr string_view delimiters = "()<>[]{}/%";
    return delimiters.find(c) != npos;
}

bool isRegular(char c) {
    return !isWhite(c) && !isDelimiter(c);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool endsToken(string_view bytes, size_t end) {
    return end >= bytes.size() || !isRegular(bytes[end]);
}

bool startsToken(string_view bytes, size_t start) {
    return start == 0 || !isRegular(bytes[start - 1]);
}

size_t skipWhite(string_view bytes, size_t pos) {
    while (pos < bytes.size() && isWhite(bytes[pos])) {
        ++pos;
    }
    return pos;
}

bool tokenAt(string_view bytes, size_t at, string_view token) {
    // A name starts with its own delimiter, whatever stands before it.
    return (token.front() == '/' || startsToken(bytes, at)) && endsToken(bytes, at + token.size());
}

// Calls visit with every start of a whole keyword or name token, in order.
template <typename Visit> void forEachToken(string_view bytes, string_view token, Visit visit) {
    for (size_t at = bytes.find(token); at != npos; at = bytes.find(token, at + 1)) {
        if (tokenAt(bytes, at, token)) {
            visit(at);
        }
    }
}

// The start of the last whole token that starts before end, or npos.
size_t lastTokenBefore(string_view bytes, string_view token, size_t end) {
    for (size_t at = end == 0 ? npos : bytes.rfind(token, end - 1); at != npos;
         at = at == 0 ? npos : bytes.rfind(token, at - 1)) {
        if (tokenAt(bytes, at, token)) {
            return at;
        }
    }
    return npos;
}

// The value of the digits at [start, end); -1 when it exceeds largestObjectNumber.
long long smallNumber(string_view bytes, size_t start, size_t end) {
    long long value = 0;
    for (size_t i = start; i < end; ++i) {
        value = value * 10 + (bytes[i] - '0');
        if (value > largestObjectNumber) {
            return -1;
        }
    }
    return value;
}

struct Digits {
    size_t start = 0;
    size_t end = 0;
};

// The run of digits ending right before end, when it is a whole token.
std::optional<Digits> digitsBefore(string_view bytes, size_t end) {
    size_t start = end;
    while (start > 0 && isDigit(bytes[start - 1])) {
        --start;
    }
    if (start == end || !startsToken(bytes, start)) {
        return std::nullopt;
    }
    return Digits{start, end};
}

// The run of digits starting at start, when it is a whole token.
std::optional<Digits> digitsAt(string_view bytes, size_t start) {
    size_t end = start;
    while (end < bytes.size() && isDigit(bytes[end])) {
        ++end;
    }
    if (end == start || !endsToken(bytes, end)) {
        return std::nullopt;
    }
    return Digits{start, end};
}

struct ObjectHeader {
    Digits number;
    Digits generation;
    size_t start = 0;  // of the object number
    size_t bodyAt = 0; // just after "obj"
};

// The "N G obj" that ends with the "obj" at objAt.
std::optional<ObjectHeader> headerAt(string_view bytes, size_t objAt) {
    size_t pos = objAt;
    if (pos == 0 || !isWhite(bytes[pos - 1])) {
        return std::nullopt;
    }
    while (pos > 0 && isWhite(bytes[pos - 1])) {
        --pos;
    }
    const auto generation = digitsBefore(bytes, pos);
    if (!generation || generation->start == 0 || !isWhite(bytes[generation->start - 1])) {
        return std::nullopt;
    }
    pos = generation->start;
    while (pos > 0 && isWhite(bytes[pos - 1])) {
        --pos;
    }
    const auto number = digitsBefore(bytes, pos);
    if (!number) {
        return std::nullopt;
    }
    return ObjectHeader{*number, *generation, number->start, objAt + 3};
}

std::vector<ObjectHeader> objectHeaders(string_view bytes) {
    std::vector<ObjectHeader> headers;
    for (size_t at = bytes.find("obj"); at != npos && headers.size() < maxHeaders;
         at = bytes.find("obj", at + 1)) {
        if (tokenAt(bytes, at, "obj")) {
            if (auto header = headerAt(bytes, at)) {
                headers.push_back(*header);
            }
        }
    }
    return headers;
}

// The start of an object, up to its "endobj", the next header or objectWindow bytes.
string_view objectText(string_view bytes, const std::vector<ObjectHeader>& headers, size_t i) {
    const size_t start = headers[i].bodyAt;
    size_t end = std::min(bytes.size(), start + objectWindow);
    if (i + 1 < headers.size()) {
        end = std::min(end, headers[i + 1].start);
    }
    string_view text = bytes.substr(start, end - start);
    if (const size_t endobj = text.find("endobj"); endobj != npos) {
        text = text.substr(0, endobj);
    }
    return text;
}

bool hasName(string_view text, string_view name) {
    return lastTokenBefore(text, name, text.size()) != npos;
}

// Whether the object's first /Type is the given name.
bool isOfType(string_view text, string_view type) {
    size_t key = text.find("/Type");
    while (key != npos && !tokenAt(text, key, "/Type")) {
        key = text.find("/Type", key + 1);
    }
    if (key == npos) {
        return false;
    }
    const size_t value = skipWhite(text, key + 5);
    return text.substr(value, type.size()) == type && endsToken(text, value + type.size());
}

bool looksLikeInfo(string_view text) {
    static constexpr std::array<string_view, 8> properties = {
        "/Title",   "/Author",   "/Subject",      "/Keywords",
        "/Creator", "/Producer", "/CreationDate", "/ModDate"};
    static constexpr std::array<string_view, 5> elsewhere = {"/Type", "/Parent", "/Subtype",
                                                             "/Kids", "/Length"};
    if (text.substr(skipWhite(text, 0), 2) != "<<") {
        return false;
    }
    const auto has = [&](string_view name) { return hasName(text, name); };
    return std::any_of(properties.begin(), properties.end(), has) &&
           std::none_of(elsewhere.begin(), elsewhere.end(), has);
}

std::string reference(string_view bytes, const ObjectHeader& header) {
    return std::string(bytes.substr(header.number.start, header.number.end - header.number.start)) +
           ' ' +
           std::string(bytes.substr(header.generation.start,
                                    header.generation.end - header.generation.start)) +
           " R";
}

// The "N G R" after the last key of that name, as written.
std::optional<std::string> lastReference(string_view bytes, string_view key) {
    for (size_t at = lastTokenBefore(bytes, key, bytes.size()); at != npos;
         at = lastTokenBefore(bytes, key, at)) {
        const size_t numberAt = skipWhite(bytes, at + key.size());
        const auto number = digitsAt(bytes, numberAt);
        if (!number || smallNumber(bytes, number->start, number->end) < 0) {
            continue;
        }
        const auto generation = digitsAt(bytes, skipWhite(bytes, number->end));
        if (!generation || generation->start == number->end ||
            smallNumber(bytes, generation->start, generation->end) < 0) {
            continue;
        }
        const size_t r = skipWhite(bytes, generation->end);
        if (r > generation->end && r < bytes.size() && bytes[r] == 'R' && endsToken(bytes, r + 1)) {
            return std::string(bytes.substr(number->start, generation->end - number->start)) + " R";
        }
    }
    return std::nullopt;
}

// The last "/ID [<hex> <hex>]" as written, when it holds only hexadecimal strings.
std::optional<std::string> lastIdArray(string_view bytes) {
    static constexpr size_t longest = 300;
    for (size_t at = lastTokenBefore(bytes, "/ID", bytes.size()); at != npos;
         at = lastTokenBefore(bytes, "/ID", at)) {
        const size_t open = skipWhite(bytes, at + 3);
        if (open >= bytes.size() || bytes[open] != '[') {
            continue;
        }
        // Looked for nearby only, so that many keys cannot make the search quadratic.
        size_t close = bytes.substr(open, longest + 1).find(']');
        if (close == npos) {
            continue;
        }
        close += open;
        const string_view inside = bytes.substr(open + 1, close - open - 1);
        const bool onlyHex = std::all_of(inside.begin(), inside.end(), [](char c) {
            return isWhite(c) || c == '<' || c == '>' || isDigit(c) || (c >= 'a' && c <= 'f') ||
                   (c >= 'A' && c <= 'F');
        });
        if (onlyHex) {
            return std::string(bytes.substr(open, close - open + 1));
        }
    }
    return std::nullopt;
}

void disableStartxref(std::string& copy) {
    forEachToken(copy, "startxref", [&](size_t at) { copy[at + 8] = '_'; });
}

// Where the line with "%PDF-" ends, or npos without a header.
size_t headerLineEnd(string_view bytes) {
    const size_t header = bytes.find("%PDF-");
    if (header == npos) {
        return npos;
    }
    size_t end = bytes.find_first_of("\r\n", header);
    if (end == npos) {
        return bytes.size();
    }
    if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') {
        ++end;
    }
    return end + 1;
}

// Whether the digits exceed what a signed 64-bit integer holds.
bool exceeds64Bits(string_view digits, bool negative) {
    const size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    const string_view significant = digits.substr(first);
    const string_view limit = negative ? "9223372036854775808" : "9223372036854775807";
    return significant.size() > limit.size() ||
           (significant.size() == limit.size() && significant > limit);
}

} // namespace

std::optional<std::string> withStartxrefToXrefStream(string_view bytes) {
    const std::vector<ObjectHeader> headers = objectHeaders(bytes);
    for (size_t i = headers.size(); i-- > 0;) {
        if (isOfType(objectText(bytes, headers, i), "/XRef")) {
            const size_t offset =
                headers[i].start - std::min(headers[i].start, bytes.find("%PDF-"));
            std::string copy(bytes);
            copy += "\nstartxref\n" + std::to_string(offset) + "\n%%EOF\n";
            return copy;
        }
    }
    return std::nullopt;
}

std::optional<std::string> withRebuiltTrailer(string_view bytes) {
    const size_t insertAt = headerLineEnd(bytes);
    if (insertAt == npos) {
        return std::nullopt;
    }
    const std::vector<ObjectHeader> headers = objectHeaders(bytes);
    std::optional<std::string> root;
    std::optional<std::string> info = lastReference(bytes, "/Info");
    const bool infoWritten = info.has_value();
    long long size = 0;
    for (size_t i = 0; i < headers.size(); ++i) {
        const long long number = smallNumber(bytes, headers[i].number.start, headers[i].number.end);
        if (number < 0 ||
            smallNumber(bytes, headers[i].generation.start, headers[i].generation.end) < 0) {
            continue;
        }
        size = std::max(size, number + 1);
        const string_view text = objectText(bytes, headers, i);
        if (isOfType(text, "/Catalog")) {
            root = reference(bytes, headers[i]);
        } else if (!infoWritten && looksLikeInfo(text)) {
            info = reference(bytes, headers[i]);
        }
    }
    if (!root) {
        root = lastReference(bytes, "/Root");
    }
    if (!root) {
        return std::nullopt;
    }
    std::string trailer = "trailer\n<< /Size " + std::to_string(size) + " /Root " + *root;
    if (info) {
        trailer += " /Info " + *info;
    }
    if (const auto encrypt = lastReference(bytes, "/Encrypt")) {
        trailer += " /Encrypt " + *encrypt;
    }
    if (const auto id = lastIdArray(bytes)) {
        trailer += " /ID " + *id;
    }
    trailer += " >>\n";

    std::string copy;
    copy.reserve(bytes.size() + 2 * trailer.size() + 2);
    copy.append(bytes.substr(0, insertAt));
    if (insertAt == bytes.size() || copy.back() != '\n') {
        copy += '\n';
    }
    copy += trailer;
    copy.append(bytes.substr(insertAt));
    // Also at the end, for a reader that keeps the last trailer it finds.
    copy += '\n' + trailer;
    disableStartxref(copy);
    return copy;
}

std::optional<std::string> withoutEncryption(string_view bytes) {
    std::string copy(bytes);
    bool changed = false;
    forEachToken(bytes, "/Encrypt", [&](size_t at) {
        copy.replace(at, disabledEncryptKey.size(), disabledEncryptKey);
        changed = true;
    });
    return changed ? std::optional<std::string>(std::move(copy)) : std::nullopt;
}

std::optional<std::string> withoutHugeIntegers(string_view bytes) {
    std::string copy(bytes);
    bool changed = false;
    // Object headers first: their numbers are read as int, not as 64-bit integers.
    for (const ObjectHeader& header : objectHeaders(bytes)) {
        if (smallNumber(bytes, header.number.start, header.number.end) < 0 ||
            smallNumber(bytes, header.generation.start, header.generation.end) < 0) {
            std::fill(copy.begin() + static_cast<std::ptrdiff_t>(header.start),
                      copy.begin() + static_cast<std::ptrdiff_t>(header.bodyAt), ' ');
            changed = true;
        }
    }
    // A startxref past 64 bits is disabled, so qpdf rebuilds the table by scanning.
    forEachToken(bytes, "startxref", [&](size_t at) {
        const auto digits = digitsAt(bytes, skipWhite(bytes, at + 9));
        if (digits &&
            exceeds64Bits(bytes.substr(digits->start, digits->end - digits->start), false)) {
            copy[at + 8] = '_';
            changed = true;
        }
    });
    for (size_t pos = 0; pos < copy.size();) {
        const size_t start = pos;
        const bool hasSign = copy[pos] == '-' || copy[pos] == '+';
        const size_t digitsStart = hasSign ? pos + 1 : pos;
        if (!startsToken(copy, start) || digitsStart >= copy.size() ||
            !isDigit(copy[digitsStart])) {
            ++pos;
            continue;
        }
        size_t end = digitsStart;
        while (end < copy.size() && isDigit(copy[end])) {
            ++end;
        }
        pos = end;
        if (!endsToken(copy, end) ||
            !exceeds64Bits(string_view(copy).substr(digitsStart, end - digitsStart),
                           copy[start] == '-')) {
            continue;
        }
        std::fill(copy.begin() + static_cast<std::ptrdiff_t>(start),
                  copy.begin() + static_cast<std::ptrdiff_t>(end), ' ');
        copy[start] = '0';
        changed = true;
    }
    return changed ? std::optional<std::string>(std::move(copy)) : std::nullopt;
}

} // namespace pdfinfodump
