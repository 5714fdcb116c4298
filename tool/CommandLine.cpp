#include "tool/CommandLine.h"

#include "tool/Features.h"

#include <algorithm>
#include <string_view>

namespace pdfinfodump {

const char* const usageText =
    "usage: pdftk FILE dump_data|dumpdata|dump_data_utf8 [audit|audit_first_page] "
    "output OUT|-\n"
    "       pdftk A=FILE input_pw A=PASSWORD|PROMPT dump_data|dumpdata|dump_data_utf8 "
    "[audit|audit_first_page] output OUT|-\n"
    "       pdftk --serve\n"
    "       pdftk --features\n";

namespace {

struct Handled {
    std::string handle; // empty when the argument has none
    std::string value;
};

Handled splitHandle(const std::string& argument) {
    const auto equals = argument.find('=');
    if (equals == std::string::npos || equals == 0) {
        return {"", argument};
    }
    const std::string_view name = std::string_view(argument).substr(0, equals);
    const bool upperCase =
        std::all_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    if (!upperCase) {
        return {"", argument};
    }
    return {argument.substr(0, equals), argument.substr(equals + 1)};
}

} // namespace

bool isServeCommandLine(const std::vector<std::string>& arguments) {
    return arguments.size() == 1 && arguments.front() == "--serve";
}

std::optional<DumpRequest> parseCommandLine(const std::vector<std::string>& arguments) {
    DumpRequest request;
    std::size_t next = 0;
    auto take = [&]() -> const std::string* {
        return next < arguments.size() ? &arguments[next++] : nullptr;
    };

    const std::string* input = take();
    if (!input) {
        return std::nullopt;
    }
    const Handled file = splitHandle(*input);
    request.inputPath = file.value;
    if (request.inputPath.empty()) {
        return std::nullopt;
    }

    const std::string* word = take();
    if (word && *word == "input_pw") {
        const std::string* passwordArgument = take();
        if (!passwordArgument) {
            return std::nullopt;
        }
        std::string password = *passwordArgument;
        if (!file.handle.empty()) {
            const Handled handled = splitHandle(*passwordArgument);
            if (handled.handle != file.handle) {
                return std::nullopt;
            }
            password = handled.value;
        }
        request.passwordSource =
            password == "PROMPT" ? PasswordSource::Prompt : PasswordSource::Given;
        if (request.passwordSource == PasswordSource::Given) {
            request.password = password;
        }
        word = take();
    }

    // The dump words run up to "output".
    std::vector<std::string> dumpWords;
    while (word && *word != "output") {
        dumpWords.push_back(*word);
        word = take();
    }
    const std::optional<DumpWords> words = parseDumpWords(dumpWords);
    if (!words) {
        return std::nullopt;
    }
    request.words = *words;

    const std::string* output = word;
    const std::string* outputPath = take();
    if (!output || *output != "output" || !outputPath || outputPath->empty()) {
        return std::nullopt;
    }
    request.outputPath = *outputPath;
    if (next != arguments.size()) {
        return std::nullopt;
    }
    return request;
}

const char* featuresText() {
    static const std::string text = [] {
        std::string lines;
        for (const std::string_view feature : toolFeatures) {
            lines += feature;
            lines += '\n';
        }
        return lines;
    }();
    return text.c_str();
}

bool asksForFeatures(const std::vector<std::string>& arguments) {
    return arguments.size() == 1 && arguments[0] == "--features";
}

} // namespace pdfinfodump
