#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pdfinfodump {

// The caller's requests, read from a descriptor through a buffer: header lines and counted
// runs of raw bytes.
class RequestInput {
public:
    enum class Result {
        Read,
        // The input ended before the first byte.
        End,
        // The input ended after the first byte, before the last.
        Cut,
        // No LF within the bound.
        TooLong,
        // A read failed (error()).
        Failed,
    };

    explicit RequestInput(int fd);

    // Reads a line up to its LF, not kept, of at most maxBytes before the LF.
    Result readLine(std::string& line, std::size_t maxBytes);
    // Reads exactly count bytes; with none asked for, Read.
    Result readBytes(std::size_t count, std::string& bytes);
    // The errno of the failed read.
    int error() const { return error_; }

private:
    // Reads more into the buffer; false at the end of input or on a failure.
    bool fill();

    int fd_;
    std::vector<char> buffer_;
    std::size_t start_ = 0;
    std::size_t end_ = 0;
    int error_ = 0;
};

} // namespace pdfinfodump
