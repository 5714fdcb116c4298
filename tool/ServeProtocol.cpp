#include "tool/ServeProtocol.h"

#include "tool/Features.h"

#include <algorithm>
#include <limits>

namespace pdfinfodump {
namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t end = text.find(separator);
        parts.push_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(end + 1);
    }
}

std::optional<std::uint64_t> decimal(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    constexpr std::uint64_t largest = std::numeric_limits<std::uint64_t>::max();
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (largest - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

// A length field within its bound, or a problem.
std::optional<std::size_t> length(std::string_view field, std::size_t bound, const char* what,
                                  std::string& problem) {
    const std::optional<std::uint64_t> value = decimal(field);
    if (!value) {
        problem = std::string(what) + " length is not a number";
        return std::nullopt;
    }
    if (*value > bound) {
        problem = std::string(what) + " longer than " + std::to_string(bound) + " bytes";
        return std::nullopt;
    }
    return static_cast<std::size_t>(*value);
}

} // namespace

ParsedHeader parseRequestHeader(std::string_view line) {
    ParsedHeader parsed;
    const std::vector<std::string_view> fields = split(line, ' ');
    if (fields.size() != 5 || fields[0] != "request") {
        parsed.problem = "not a request header";
        return parsed;
    }
    const std::optional<std::uint64_t> id = decimal(fields[1]);
    if (!id) {
        parsed.problem = "the request ID is not a number";
        return parsed;
    }
    parsed.id = *id;
    RequestHeader header;
    header.id = *id;
    const std::optional<std::size_t> pathLength =
        length(fields[2], maxRequestPathBytes, "path", parsed.problem);
    if (!pathLength) {
        return parsed;
    }
    const std::optional<std::size_t> passwordLength =
        length(fields[3], maxRequestPasswordBytes, "password", parsed.problem);
    if (!passwordLength) {
        return parsed;
    }
    if (fields[4].empty()) {
        parsed.problem = "no dump words";
        return parsed;
    }
    // Printable ASCII only: a CR of a CR LF line end, say, shows a caller out of step.
    if (std::any_of(fields[4].begin(), fields[4].end(),
                    [](char c) { return c < '!' || c > '~'; })) {
        parsed.problem = "the dump words hold a byte that is not printable ASCII";
        return parsed;
    }
    header.pathLength = *pathLength;
    header.passwordLength = *passwordLength;
    for (const std::string_view word : split(fields[4], ',')) {
        header.words.emplace_back(word);
    }
    parsed.header = std::move(header);
    return parsed;
}

std::string readyLine() {
    // What the tool offers, comma-separated (Features.h).
    std::string line = "ready 1 ";
    for (std::size_t i = 0; i < toolFeatures.size(); ++i) {
        line += i > 0 ? "," : "";
        line += toolFeatures[i];
    }
    return line + '\n';
}

std::string answerFrame(std::uint64_t id, int status, std::string_view dump,
                        std::string_view errors) {
    std::string frame = "answer " + std::to_string(id) + ' ' + std::to_string(status) + ' ' +
                        std::to_string(dump.size()) + ' ' + std::to_string(errors.size()) + '\n';
    frame.reserve(frame.size() + dump.size() + errors.size());
    frame += dump;
    frame += errors;
    return frame;
}

} // namespace pdfinfodump
