// libFuzzer target: the tool's whole dump of a PDF held in memory (repairs of damaged files
// and XMP metadata included), plus the text decoding, the XMP parsing and the byte-level
// repairs of the raw bytes, which a PDF reaches only through qpdf. Besides crashes and hangs it
// catches output that breaks the line format: a control character or a non-ASCII byte in the
// escaped dump, invalid UTF-8 in the UTF-8 dump.

#include "tool/DamagedFileRepair.h"
#include "tool/DumpFormat.h"
#include "tool/DumpText.h"
#include "tool/PdfReading.h"
#include "tool/PdfText.h"
#include "tool/XmpProperties.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace pdfinfodump;

namespace {

// Every byte printable ASCII, apart from the LF that ends each line.
bool isEscapedText(const std::string& dump) {
    for (const char c : dump) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte != '\n' && (byte < 0x20 || byte > 0x7E)) {
            return false;
        }
    }
    return dump.empty() || dump.back() == '\n';
}

// Valid UTF-8 without control characters other than LF.
bool isUtf8Text(const std::string& dump) {
    const std::u32string decoded = decodeTextString("\xEF\xBB\xBF" + dump);
    for (const char32_t c : decoded) {
        if (c == 0xFFFD || (c < 0x20 && c != '\n')) {
            return false;
        }
    }
    return true;
}

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const ReadResult result = readPdfBuffer(bytes, std::nullopt);
    if (result.ok) {
        check(isEscapedText(formatDump(result.facts, TextStyle::Escaped)));
        const std::string utf8 = formatDump(result.facts, TextStyle::Utf8);
        // U+FFFD may come from the document itself; only check when the input has none.
        if (utf8.find("\xEF\xBF\xBD") == std::string::npos) {
            check(isUtf8Text(utf8));
        }
    } else {
        check(!result.error.empty() && result.error.find('\n') == std::string::npos);
    }

    const std::u32string text = decodeTextString(bytes);
    std::string escaped;
    appendDumpText(escaped, text, TextStyle::Escaped);
    check(isEscapedText(escaped + '\n'));
    std::string utf8;
    appendDumpText(utf8, text, TextStyle::Utf8);

    std::string error;
    if (const auto properties = propertiesFromXmp(bytes, error)) {
        for (const InfoEntry& property : *properties) {
            check(!property.key.empty() && property.value.size() > 3);
        }
    } else {
        check(!error.empty());
    }
    if (const auto date = xmpDateAsPdfDate(bytes.substr(0, 40))) {
        check(date->compare(0, 2, "D:") == 0 && date->size() <= 23);
    }
    // The repairs that keep every offset must keep the size.
    for (const auto& copy : {withoutEncryption(bytes), withoutHugeIntegers(bytes)}) {
        check(!copy || copy->size() == size);
    }
    withStartxrefToXrefStream(bytes);
    withRebuiltTrailer(bytes);
    return 0;
}
