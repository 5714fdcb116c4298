#pragma once

#include <cstdio>
#include <string>

namespace pdfinfodump {

// Reads one line from the stream and returns it without its LF or CR LF. At most
// maxPasswordBytes are kept (no PDF password is longer than 127 bytes); the rest of a longer
// line is read and dropped.
std::string readPasswordLine(std::FILE* in);

// Asks for the password of the named file when standard input is a terminal (prompt on
// standard error, typing not echoed), then reads one line from standard input.
std::string promptForPassword(const std::string& inputPath);

inline constexpr std::size_t maxPasswordBytes = 4096;

} // namespace pdfinfodump
