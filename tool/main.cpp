// A pdftk-compatible dump of a PDF's document properties: the information dictionary,
// the trailer's ID and the page count, in the line format of pdftk's dump_data.

#include "tool/CommandLine.h"
#include "tool/FileDump.h"
#include "tool/OutputFile.h"
#include "tool/PasswordPrompt.h"
#include "tool/ResourceLimits.h"
#include "tool/ServeProcess.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

using namespace pdfinfodump;

namespace {

void writeStandardError(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
}

} // namespace

int main(int argc, char* argv[]) {
    limitResources();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (asksForFeatures(arguments)) {
        return std::fputs(featuresText(), stdout) < 0 ? 1 : 0;
    }
    if (isServeCommandLine(arguments)) {
        return serveStandardStreams();
    }
    const std::optional<DumpRequest> request = parseCommandLine(arguments);
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

    const FileDump file = dumpFile(request->inputPath, password, request->words);
    writeStandardError(file.errors);
    // A document the password does not open may still give its audit's encryption lines:
    // they are written, and the run fails all the same.
    if (file.dump.empty() && file.status != 0) {
        return file.status;
    }

    const std::string writeError = request->outputPath == "-"
                                       ? writeStandardOutput(file.dump)
                                       : writeFileWhole(request->outputPath, file.dump);
    if (!writeError.empty()) {
        writeStandardError(errorLine(request->outputPath, writeError));
        return 1;
    }
    return file.status;
}
