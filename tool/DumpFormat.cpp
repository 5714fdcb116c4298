#include "tool/DumpFormat.h"

#include "tool/AuditLines.h"
#include "tool/PdfText.h"

namespace pdfinfodump {
namespace {

std::string lowerHex(const std::string& bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        hex += digits[value >> 4];
        hex += digits[value & 0x0F];
    }
    return hex;
}

} // namespace

std::string formatDump(const DocumentFacts& facts, TextStyle style) {
    std::string out;
    for (const InfoEntry& entry : facts.info) {
        // Emptiness is judged on the decoded text, before control characters are dropped,
        // so a value made only of control characters still gives an (empty) line.
        const std::u32string value = decodeTextString(entry.value);
        if (value.empty()) {
            continue;
        }
        out += "InfoBegin\nInfoKey: ";
        appendDumpText(out, decodeNameBytes(entry.key), style);
        out += "\nInfoValue: ";
        appendDumpText(out, value, style);
        out += '\n';
    }
    for (std::size_t i = 0; i < facts.ids.size(); ++i) {
        out += "PdfID" + std::to_string(i) + ": " + lowerHex(facts.ids[i]) + '\n';
    }
    if (facts.pageCount) {
        out += "NumberOfPages: " + std::to_string(*facts.pageCount) + '\n';
    }
    if (facts.audit) {
        appendAuditLines(out, *facts.audit, style);
    }
    return out;
}

} // namespace pdfinfodump
