#include "cli/CliRequest.h"

#include "base/Properties.h"

namespace cli {

const char* const usageText =
    "usage: parvilon-cli [--properties LIST] [--password-prompt] [--extension EXT]\n"
    "                    [--jobs N] [--per-file] [--files-from LIST [--null]] [--] PATH...\n"
    "                    --output FILE | --output - [--format FORM]\n"
    "\n"
    "Reads the document properties of the PDF files named, and of the files with extension\n"
    "EXT (default pdf) in every folder named and its subfolders, and writes them to FILE:\n"
    "column-aligned text for a .txt name, comma-separated values for .csv, a spreadsheet\n"
    "workbook for .xlsx, a JSON array for .json, JSON Lines (one object a line, written as\n"
    "each file is read) for .jsonl, or standard output for -.\n"
    "\n"
    "  --properties LIST  the columns, comma-separated, from: version, producer, creator,\n"
    "                     title, author, subject, keywords, pages, modified, created,\n"
    "                     accessed, filesize, pagesize, encryption, tagged, language, pdfa,\n"
    "                     linearized, form, javascript, attachments, signatures\n"
    "                     (default: the choice made in the window)\n"
    "  --format FORM      the form on standard output: text (the default), csv, json or\n"
    "                     jsonl\n"
    "  --password-prompt  ask for the password of each file that needs one, in list order,\n"
    "                     and once more when it was wrong (an empty answer: none); when\n"
    "                     standard input is not a terminal, one line is read per question\n"
    "                     and the last line answers the questions after it\n"
    "  --jobs N           read N files at once (default: one per processor)\n"
    "  --per-file         start the tool once for every file, instead of keeping N tools\n"
    "                     that read one file after another\n"
    "  --files-from LIST  read more paths from the file LIST, one per line (- for standard\n"
    "                     input), however many: one run, one output\n"
    "  --null             the names in LIST end with a NUL character, as find -print0\n"
    "                     writes them, instead of a line break\n"
    "  --                 every argument after it is a path\n"
    "\n"
    "Exit status: 0 when every file was read; 1 when some could not be (each listed on\n"
    "standard error with the reason); 2 on bad usage, also when the output is one of the\n"
    "files to read; 3 when the output could not be written; 130, 143 or 129 when\n"
    "interrupted by SIGINT, SIGTERM or SIGHUP.\n";

std::optional<OutputForm> outputFormFor(const QString& output) {
    if (output == QLatin1String("-"))
        return OutputForm::AlignedText;
    if (output.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        return OutputForm::AlignedText;
    if (output.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return OutputForm::Csv;
    if (output.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        return OutputForm::Workbook;
    if (output.endsWith(QLatin1String(".json"), Qt::CaseInsensitive))
        return OutputForm::Json;
    if (output.endsWith(QLatin1String(".jsonl"), Qt::CaseInsensitive))
        return OutputForm::JsonLines;
    return std::nullopt;
}

OutputForm outputFormOf(const CliRequest& request) {
    return request.format.value_or(outputFormFor(request.output).value_or(OutputForm::AlignedText));
}

namespace {

// The forms standard output takes: a workbook is no stream of text.
std::optional<OutputForm> standardOutputFormNamed(const QString& name) {
    if (name == QLatin1String("text"))
        return OutputForm::AlignedText;
    if (name == QLatin1String("csv"))
        return OutputForm::Csv;
    if (name == QLatin1String("json"))
        return OutputForm::Json;
    if (name == QLatin1String("jsonl"))
        return OutputForm::JsonLines;
    return std::nullopt;
}

} // namespace

base::Result<CliRequest> parseCommandLine(const QStringList& arguments) {
    using Failure = base::Result<CliRequest>;
    CliRequest request;
    bool outputGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return arguments[++i];
        };
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            request.help = true;
            return request;
        } else if (argument == QLatin1String("--output")) {
            if (outputGiven)
                return Failure::failure(QStringLiteral("--output is given twice"));
            const auto given = value();
            if (!given || given->isEmpty())
                return Failure::failure(QStringLiteral("--output needs a file name"));
            request.output = *given;
            outputGiven = true;
        } else if (argument == QLatin1String("--format")) {
            const auto given = value();
            const auto form = given ? standardOutputFormNamed(*given) : std::nullopt;
            if (!form)
                return Failure::failure(
                    QStringLiteral("--format needs one of text, csv, json and jsonl"));
            request.format = form;
        } else if (argument == QLatin1String("--properties")) {
            const auto given = value();
            const QStringList names =
                given ? given->split(QLatin1Char(','), Qt::SkipEmptyParts) : QStringList();
            if (names.isEmpty())
                return Failure::failure(QStringLiteral("--properties needs a list"));
            if (const auto headers = base::columnsNamed(names); !headers.ok())
                return Failure::failure(headers.error());
            request.properties = names;
        } else if (argument == QLatin1String("--extension")) {
            const auto given = value();
            if (!given || given->isEmpty())
                return Failure::failure(QStringLiteral("--extension needs an extension"));
            request.extension = *given;
        } else if (argument == QLatin1String("--jobs")) {
            const auto given = value();
            bool isNumber = false;
            const int jobs = given ? given->toInt(&isNumber) : 0;
            if (!isNumber || jobs < 1)
                return Failure::failure(QStringLiteral("--jobs needs a number of 1 or more"));
            request.parallelTools = jobs;
        } else if (argument == QLatin1String("--per-file")) {
            request.processPerFile = true;
        } else if (argument == QLatin1String("--files-from")) {
            const auto given = value();
            if (!given || given->isEmpty())
                return Failure::failure(QStringLiteral("--files-from needs a file name"));
            request.fileLists.append(*given);
        } else if (argument == QLatin1String("--null")) {
            request.nulSeparated = true;
        } else if (argument == QLatin1String("--password-prompt")) {
            request.askForPasswords = true;
        } else if (argument == QLatin1String("--")) {
            request.paths.append(arguments.mid(i + 1));
            break;
        } else if (argument.startsWith(QLatin1String("--"))) {
            return Failure::failure(QStringLiteral("unknown option %1").arg(argument));
        } else {
            request.paths.append(argument);
        }
    }
    if (!outputGiven)
        return Failure::failure(QStringLiteral("--output is missing"));
    if (!outputFormFor(request.output))
        return Failure::failure(
            QStringLiteral("%1: the output must end in .txt, .csv, .xlsx, .json or .jsonl, or be -")
                .arg(request.output));
    if (request.format && !writesStandardOutput(request))
        return Failure::failure(
            QStringLiteral("--format goes with --output -: a file's name gives its form"));
    if (request.paths.isEmpty() && request.fileLists.isEmpty())
        return Failure::failure(QStringLiteral("no file or folder named"));
    if (request.nulSeparated && request.fileLists.isEmpty())
        return Failure::failure(QStringLiteral("--null goes with --files-from"));
    if (request.askForPasswords && request.fileLists.contains(QLatin1String("-")))
        return Failure::failure(
            QStringLiteral("--files-from - and --password-prompt cannot both read standard input"));
    return request;
}

} // namespace cli
