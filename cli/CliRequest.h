#pragma once

#include "base/Result.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace cli {

// The forms of the output.
enum class OutputForm { AlignedText, Csv, Workbook, Json, JsonLines };

// What the command line asks for.
struct CliRequest {
    bool help = false;                     // --help or -h: the usage, nothing else
    QStringList paths;                     // files and folders, in order
    QStringList fileLists;                 // --files-from: files that list more paths ("-": stdin)
    bool nulSeparated = false;             // --null: those lists end names with NUL, not LF
    std::optional<QStringList> properties; // short names; nothing: the stored choice
    bool askForPasswords = false;
    QString extension = QStringLiteral("pdf"); // of the files taken from folders
    QString output;                            // a .txt, .csv, .xlsx, .json or .jsonl file, or "-"
    std::optional<OutputForm> format;          // --format, for "-": the form on standard output
    std::optional<int> parallelTools;          // nothing: one per processor
    bool processPerFile = false;               // --per-file: a tool started for every file
};

// The form an output's name asks for by its extension; aligned text for "-" (standard output).
std::optional<OutputForm> outputFormFor(const QString& output);

// The form of the request's output: the one --format names, else the one its name asks for.
OutputForm outputFormOf(const CliRequest& request);

inline bool writesStandardOutput(const CliRequest& request) {
    return request.output == QLatin1String("-");
}

// Reads the arguments (without the program's name). Fails, with what is wrong, on bad usage.
// After "--" every argument is a path, "-h" too.
base::Result<CliRequest> parseCommandLine(const QStringList& arguments);

extern const char* const usageText;

} // namespace cli
