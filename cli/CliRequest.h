#pragma once

#include "base/Result.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace cli {

// What the command line asks for.
struct CliRequest {
    QStringList paths;                     // files and folders, in order
    std::optional<QStringList> properties; // short names; nothing: the stored choice
    bool askForPasswords = false;
    QString extension = QStringLiteral("pdf"); // of the files taken from folders
    QString output;                            // a .txt, .csv or .xlsx file, or "-"
    std::optional<int> parallelTools;          // nothing: one per processor
};

// The form of the output a name asks for.
enum class OutputForm { AlignedText, Csv, Workbook, StandardOutput };
std::optional<OutputForm> outputFormFor(const QString& output);

// Reads the arguments (without the program's name). Fails, with what is wrong, on bad usage.
base::Result<CliRequest> parseCommandLine(const QStringList& arguments);

extern const char* const usageText;

} // namespace cli
