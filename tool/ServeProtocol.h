#pragma once

// The frames of serving mode (ServeLoop.h). Numbers are decimal, lengths count bytes, and
// every name, password and dump travels as counted raw bytes, so no byte in them can break
// the framing:
//   ready 1 FEATURES\n                                  once, when the tool is ready
//   request ID PATHLENGTH PASSWORDLENGTH WORDS\n PATH PASSWORD       from the caller
//   answer ID STATUS DUMPLENGTH ERRORLENGTH\n DUMP ERROR             one for each request
// WORDS are the dump words of the command line joined by commas (DumpWords.h); a
// PASSWORDLENGTH of 0 means no password. An answer's ID is its request's, as a number.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pdfinfodump {

inline constexpr std::size_t maxRequestPathBytes = std::size_t{64} << 10;
inline constexpr std::size_t maxRequestPasswordBytes = std::size_t{64} << 10;
// A header line holds four short fields and the dump words.
inline constexpr std::size_t maxRequestHeaderBytes = 1024;

struct RequestHeader {
    std::uint64_t id = 0;
    std::size_t pathLength = 0;
    std::size_t passwordLength = 0;
    std::vector<std::string> words;
};

struct ParsedHeader {
    std::optional<RequestHeader> header;
    // The request's ID when it could be read before a problem; else 0.
    std::uint64_t id = 0;
    // Why the line is no request header.
    std::string problem;
};

// Parses a request header line, without its LF: five fields parted by single blanks, the
// numbers made of digits only, the lengths within their bounds, the words not empty and of
// printable ASCII. Whether the words are known is for parseDumpWords().
ParsedHeader parseRequestHeader(std::string_view line);

std::string readyLine();

std::string answerFrame(std::uint64_t id, int status, std::string_view dump,
                        std::string_view errors);

} // namespace pdfinfodump
