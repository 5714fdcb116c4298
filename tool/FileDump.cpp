#include "tool/FileDump.h"

#include "tool/DumpFormat.h"
#include "tool/PdfReading.h"

namespace pdfinfodump {

std::string errorLine(const std::string& subject, const std::string& reason, bool warning) {
    std::string line = (warning ? "pdftk: warning: " : "pdftk: ") + subject + ": " + reason;
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = '?';
        }
    }
    return line + '\n';
}

FileDump dumpFile(const std::string& path, const std::optional<std::string>& password,
                  const DumpWords& words) {
    FileDump result;
    FileReading reading;
    if (words.audit) {
        AuditLimits limits;
        limits.everyPage = words.auditEveryPage;
        reading.audit = limits;
    }
    const ReadResult read = readPdfFile(path, password, reading);
    for (const std::string& warning : read.warnings) {
        result.errors += errorLine(path, warning, true);
    }
    if (!read.ok) {
        result.status = 1;
        result.errors += errorLine(path, read.error);
        // A document the password does not open still gives its audit's encryption lines.
        if (read.facts.audit) {
            result.dump = formatDump(read.facts, words.style);
        }
        return result;
    }
    result.dump = formatDump(read.facts, words.style);
    return result;
}

} // namespace pdfinfodump
