#pragma once

#include <string>
#include <string_view>

namespace pdfinfodump {

enum class TextStyle {
    // dump_data: ASCII only. & < > " ' become entity references and every character from
    // U+007F up becomes a decimal reference of its whole code point (&#128512;).
    Escaped,
    // dump_data_utf8: characters as UTF-8.
    Utf8,
};

// Appends text in its output form. In both styles TAB, LF and CR become &#9;, &#10; and
// &#13;, so a value can never split its line or forge a record; other C0 control
// characters and unpaired surrogates are dropped.
void appendDumpText(std::string& out, std::u32string_view text, TextStyle style);

} // namespace pdfinfodump
