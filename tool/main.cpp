// A pdftk-compatible dump of a PDF's document properties: the information dictionary,
// the trailer's ID and the page count, in the line format of pdftk's dump_data.

#include "tool/CommandLine.h"
#include "tool/DumpFormat.h"
#include "tool/OutputFile.h"
#include "tool/PasswordPrompt.h"
#include "tool/PdfReading.h"
#include "tool/ResourceLimits.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

using namespace pdfinfodump;

namespace {

// One line on standard error; control characters in a file name cannot break it. A warning
// reads "pdftk: warning: PATH: TEXT", so that a caller tells it from the failure line.
void report(const std::string& subject, const std::string& reason, bool warning = false) {
    std::string line = (warning ? "pdftk: warning: " : "pdftk: ") + subject + ": " + reason;
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = '?';
        }
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

} // namespace

int main(int argc, char* argv[]) {
    limitResources();
    const std::optional<DumpRequest> request =
        parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!request) {
        std::fputs(usageText, stderr);
        return 2;
    }

    std::optional<std::string> password;
    if (request->passwordSource == PasswordSource::Given) {
        password = request->password;
    } else if (request->passwordSource == PasswordSource::Prompt) {
        password = promptForPassword(request->inputPath);
    }

    const ReadResult read = readPdfFile(request->inputPath, password);
    for (const std::string& warning : read.warnings) {
        report(request->inputPath, warning, true);
    }
    if (!read.ok) {
        report(request->inputPath, read.error);
        return 1;
    }

    const std::string dump = formatDump(read.facts, request->style);
    const std::string writeError = request->outputPath == "-"
                                       ? writeStandardOutput(dump)
                                       : writeFileWhole(request->outputPath, dump);
    if (!writeError.empty()) {
        report(request->outputPath, writeError);
        return 1;
    }
    return 0;
}
