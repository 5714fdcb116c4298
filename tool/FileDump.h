#pragma once

#include "tool/DumpWords.h"

#include <optional>
#include <string>

namespace pdfinfodump {

// One file's dump as a run of the tool makes it.
struct FileDump {
    // 0 when the file was read, 1 when it could not be.
    int status = 0;
    // What goes to the output; empty when the file could not be read, but for the audit's
    // lines that a document the password does not open still gives.
    std::string dump;
    // What goes to standard error: a warning line for each thing read in an unusual way, then
    // the failure line when the file could not be read (errorLine()).
    std::string errors;
};

// Reads the file (readPdfFile) and makes its dump in the form the words ask for.
FileDump dumpFile(const std::string& path, const std::optional<std::string>& password,
                  const DumpWords& words);

// One line for standard error, "pdftk: SUBJECT: REASON" or, for a warning, "pdftk: warning:
// SUBJECT: REASON", so a caller tells a warning from the failure line. Control characters
// become '?', so a file name cannot break the line.
std::string errorLine(const std::string& subject, const std::string& reason, bool warning = false);

} // namespace pdfinfodump
