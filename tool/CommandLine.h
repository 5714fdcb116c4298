#pragma once

#include "tool/DumpWords.h"

#include <optional>
#include <string>
#include <vector>

namespace pdfinfodump {

enum class PasswordSource { None, Given, Prompt };

struct DumpRequest {
    std::string inputPath;
    PasswordSource passwordSource = PasswordSource::None;
    std::string password; // when given on the command line
    DumpWords words;
    std::string outputPath; // "-" is standard output
};

// The command lines accepted, after the program name:
//   FILE dumpdata output OUT
//   A=FILE input_pw A=PASSWORD dumpdata output OUT
// with dump_data as another spelling of dumpdata, dump_data_utf8 for UTF-8 text, "-" as OUT
// for standard output and PROMPT as PASSWORD to read it from standard input; the word audit
// between the operation and output asks for the audit too. A file named with a handle (an
// upper-case word and "=") takes its password with the same handle; a file without one takes
// the bare password. Anything else gives no request.
std::optional<DumpRequest> parseCommandLine(const std::vector<std::string>& arguments);

// Whether the arguments ask for serving requests from standard input (ServeProcess.h): the one
// argument --serve.
bool isServeCommandLine(const std::vector<std::string>& arguments);
// Whether the command line is "--features", which asks what this tool does beyond pdftk's
// dump: featuresText(), one word a line (Features.h).
bool asksForFeatures(const std::vector<std::string>& arguments);
const char* featuresText();

extern const char* const usageText;

} // namespace pdfinfodump
