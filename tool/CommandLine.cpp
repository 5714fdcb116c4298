#include "tool/CommandLine.h"

#include <algorithm>
#include <string_view>

namespace pdfinfodump {

const char* const usageText =
    "usage: pdftk FILE dump_data|dumpdata|dump_data_utf8 output OUT|-\n"
    "       pdftk A=FILE input_pw A=PASSWORD|PROMPT dump_data|dumpdata|dump_data_utf8 "
    "output OUT|-\n";

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

std::optional<TextStyle> operationStyle(const std::string& word) {
    if (word == "dumpdata" || word == "dump_data") {
        return TextStyle::Escaped;
    }
    if (word == "dump_data_utf8") {
        return TextStyle::Utf8;
    }
    return std::nullopt;
}

} // namespace

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

    const std::optional<TextStyle> style = word ? operationStyle(*word) : std::nullopt;
    if (!style) {
        return std::nullopt;
    }
    request.style = *style;

    const std::string* output = take();
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

} // namespace pdfinfodump
