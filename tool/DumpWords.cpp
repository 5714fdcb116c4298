#include "tool/DumpWords.h"

namespace pdfinfodump {
namespace {

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

std::optional<DumpWords> parseDumpWords(const std::vector<std::string>& words) {
    const bool firstPage = words.size() == 2 && words[1] == "audit_first_page";
    if (words.empty() || words.size() > 2 ||
        (words.size() == 2 && words[1] != "audit" && !firstPage)) {
        return std::nullopt;
    }
    const std::optional<TextStyle> style = operationStyle(words.front());
    if (!style) {
        return std::nullopt;
    }
    return DumpWords{*style, words.size() == 2, !firstPage};
}

} // namespace pdfinfodump
