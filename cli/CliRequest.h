#pragma once

#include "base/Result.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace cli {

// What the command line asks for.
struct CliRequest {
    bool help = false;                     // --help or -h: the usage, nothing else
    QStringList paths;                     // files and folders, in order
    QStringList fileLists;                 // --files-from: files that list more paths ("-": stdin)
    bool nulSeparated = false;             // --null: those lists end names with NUL, not LF
    std::optional<QStringList> properties; // short names; nothing: the stored choice
    bool askForPasswords = false;
    QString extension = QStringLiteral("pdf"); // of the files taken from folders
    QString output;                            // a .txt, .csv or .xlsx file, or "-"
    std::optional<int> parallelTools;          // nothing: one per processor
    bool processPerFile = false;               // --per-file: a tool started for every file
};

// The form of the output a name asks for.
enum class OutputForm { AlignedText, Csv, Workbook, StandardOutput };
std::optional<OutputForm> outputFormFor(const QString& output);

// Reads the arguments (without the program's name). Fails, with what is wrong, on bad usage.
// After "--" every argument is a path, "-h" too.
base::Result<CliRequest> parseCommandLine(const QStringList& arguments);

extern const char* const usageText;

} // namespace cli
