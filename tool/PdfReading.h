#pragma once

#include "tool/DocumentAudit.h"
#include "tool/DocumentFacts.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pdfinfodump {

struct ReadResult {
    bool ok = false;
    DocumentFacts facts;
    // Why the document could not be read: one line, without the file's name.
    std::string error;
    // What was read in an unusual way (a repair of a damaged file, pages counted one by
    // one, XMP that could not be parsed): one line each, without the file's name.
    std::vector<std::string> warnings;
};

class FileSnapshot;

// How a file is read: a small one whole, with one read; a larger one through a cache of
// blocks (BlockCacheSource.h), so that only the parts looked at are read. Measured with
// bench_read_sizes: up to 128 KiB both cost the same; above, the fresh memory of a whole
// read costs more than the blocks, and 16 KiB blocks cost least (2.2 ms against 5.7 ms for a
// whole read of the files over 1 MiB). A well-formed, unencrypted file is read without qpdf
// (QuickReader.h). Tests make the sizes small, and turn the quick reader off to compare it
// with qpdf.
struct FileReading {
    std::int64_t wholeReadLimit = std::int64_t{128} << 10;
    std::size_t blockSize = std::size_t{16} << 10;
    std::size_t cachedBlocks = 64;
    bool quickReader = true;
    // Whether the audit facts are read too (DocumentFacts::audit). A document that needs a
    // password not given then still gives its Encryption and PasswordToOpen.
    std::optional<AuditLimits> audit;
};

// Reads the information dictionary, the trailer's ID and the page count of a PDF file, with
// the standard properties the dictionary lacks taken from XMP metadata (collectFacts).
// Only a regular file is opened, so that a FIFO or device cannot block the reader. A damaged
// file is repaired as far as qpdf can; when qpdf cannot open it, or opens it without a page
// count, repaired copies of the whole file are tried in memory (DamagedFileRepair.h), each
// noted in warnings: the encryption ignored when it spares strings (no password given; stream
// data is then read only when it spares streams too, else no object read may lie in an object
// stream) or when /Encrypt is no dictionary, too large integers made harmless, the last
// cross-reference stream pointed at, and a trailer of our own. What cannot be read is left
// out of the facts. A file that shrinks or changes while it is read is not read: the error
// says so (FileSnapshot.h).
ReadResult readPdfFile(const std::string& path, const std::optional<std::string>& password,
                       const FileReading& reading = {});

// The same for a file opened already.
ReadResult readOpenedPdf(FileSnapshot& file, const std::optional<std::string>& password,
                         const FileReading& reading = {});

// The same for a PDF held in memory.
ReadResult readPdfBuffer(std::string_view bytes, const std::optional<std::string>& password,
                         const FileReading& reading = {});

// The byte strings to try for a typed password, in order: as typed; for UTF-8 text that is
// not ASCII, also its PDFDocEncoding form (RC4 and AES-128 keys are made from single-byte
// text); for bytes that are not UTF-8, also their UTF-8 form (AES-256 keys are made from UTF-8).
std::vector<std::string> passwordCandidates(const std::string& typed);

} // namespace pdfinfodump
