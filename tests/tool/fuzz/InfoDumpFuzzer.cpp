// libFuzzer target: the tool's whole dump of a PDF held in memory (repairs of damaged files
// and XMP metadata included), plus the text decoding, the XMP parsing and the byte-level
// repairs of the raw bytes, which a PDF reaches only through qpdf. Besides crashes and hangs it
// catches output that breaks the line format: a control character or a non-ASCII byte in the
// escaped dump, invalid UTF-8 in the UTF-8 dump. The same bytes are also read by qpdf alone
// (without the quick reader), and both ways again from a file through a block cache of tiny
// blocks: all four must give the same result. The same again with the audit, whose dump must
// be the plain dump followed by the audit's lines alone, the same from both readers.

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
#include <sys/mman.h>
#include <unistd.h>

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

// The bytes as a file in memory, read through blocks so small that most objects cross one.
ReadResult readThroughBlocks(std::string_view bytes, bool quickReader, bool audit = false) {
    const int fd = ::memfd_create("fuzz-input", MFD_CLOEXEC);
    check(fd >= 0);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        check(wrote > 0);
        done += static_cast<std::size_t>(wrote);
    }
    FileReading reading;
    reading.wholeReadLimit = 0;
    reading.blockSize = 97;
    reading.cachedBlocks = 3;
    reading.quickReader = quickReader;
    if (audit) {
        reading.audit = AuditLimits{};
    }
    ReadResult result = readPdfFile("/proc/self/fd/" + std::to_string(fd), std::nullopt, reading);
    ::close(fd);
    return result;
}

// Only qpdf's detail may name the source differently; the kind of failure agrees.
std::string_view failureKind(const std::string& error) {
    return std::string_view(error).substr(0, error.find(':'));
}

void checkSameResult(const ReadResult& one, const ReadResult& other) {
    check(one.ok == other.ok && one.warnings.size() == other.warnings.size());
    check(formatDump(one.facts, TextStyle::Utf8) == formatDump(other.facts, TextStyle::Utf8));
    check(failureKind(one.error) == failureKind(other.error));
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
    FileReading qpdfOnly;
    qpdfOnly.quickReader = false;
    const ReadResult byQpdf = readPdfBuffer(bytes, std::nullopt, qpdfOnly);
    checkSameResult(result, byQpdf);
    // A file the quick reader reads gives qpdf's warnings word for word: the XMP's only.
    check(!result.ok || result.warnings == byQpdf.warnings);
    checkSameResult(readThroughBlocks(bytes, true), result);
    checkSameResult(readThroughBlocks(bytes, false), result);

    FileReading audited;
    audited.audit = AuditLimits{};
    const ReadResult withAudit = readPdfBuffer(bytes, std::nullopt, audited);
    const std::string plainDump = formatDump(result.facts, TextStyle::Escaped);
    const std::string auditDump = formatDump(withAudit.facts, TextStyle::Escaped);
    check(withAudit.ok == result.ok && withAudit.warnings == result.warnings);
    check(auditDump.compare(0, plainDump.size(), plainDump) == 0 && isEscapedText(auditDump));
    // Only lines of the audit follow.
    for (std::size_t at = plainDump.size(); at < auditDump.size();
         at = auditDump.find('\n', at) + 1) {
        check(auditDump.compare(at, 4, "Info") != 0 && auditDump.compare(at, 5, "PdfID") != 0 &&
              auditDump.compare(at, 13, "NumberOfPages") != 0);
    }
    audited.quickReader = false;
    checkSameResult(readPdfBuffer(bytes, std::nullopt, audited), withAudit);
    checkSameResult(readThroughBlocks(bytes, true, true), withAudit);

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
