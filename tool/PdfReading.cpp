#include "tool/PdfReading.h"

#include "tool/BlockCacheSource.h"
#include "tool/DamagedFileRepair.h"
#include "tool/EncryptionKind.h"
#include "tool/FactCollection.h"
#include "tool/FileSnapshot.h"
#include "tool/Linearization.h"
#include "tool/QpdfAuditSource.h"
#include "tool/QuickReader.h"
#include "tool/SparedEncryption.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFSystemError.hh>
#include <qpdf/QUtil.hh>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <set>

namespace pdfinfodump {
namespace {

using OpenDocument = std::function<void(QPDF&, const char* password)>;

void silence(QPDF& pdf) {
    auto logger = QPDFLogger::create();
    logger->setInfo(logger->discard());
    logger->setWarn(logger->discard());
    logger->setError(logger->discard());
    pdf.setLogger(logger);
    pdf.setSuppressWarnings(true);
}

// The repairs work on a copy of the whole file in memory; larger files are not repaired.
constexpr std::int64_t repairReadLimit = std::int64_t{256} << 20;

std::string oneLine(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return text;
}

ReadResult failure(std::string error) {
    ReadResult result;
    result.error = oneLine(std::move(error));
    return result;
}

// One try at opening a document and collecting its facts.
struct Attempt {
    bool opened = false;
    DocumentFacts facts;
    std::vector<std::string> warnings;
    bool passwordRefused = false;
    // Set for failures no repair of the bytes can help: the system's or memory's.
    bool final = false;
    // Cleared when an encryption ignored leaves strings plain but not streams.
    bool streamsPlain = true;
    std::string error;

    bool complete() const { return opened && facts.pageCount.has_value(); }
};

// Whether an opened document, whose /Encrypt was renamed, keeps plain all that the dump reads
// of it: then nothing read needs the key. Stream data is read only when streams are plain too.
bool encryptionSparesWhatWeRead(QPDF& pdf, bool& streamsPlain) {
    const LeftPlain spared = sparedByEncryption(pdf);
    streamsPlain = spared == LeftPlain::StringsAndStreams;
    return streamsPlain || (spared == LeftPlain::Strings && dumpedObjectsOutsideObjectStreams(pdf));
}

// Whether the empty password opens the document; nothing when it fails otherwise.
std::optional<bool> opensWithEmptyPassword(const OpenDocument& open) {
    try {
        QPDF pdf;
        silence(pdf);
        open(pdf, "");
        return true;
    } catch (const QPDFExc& e) {
        return e.getErrorCode() == qpdf_e_password ? std::optional<bool>(false) : std::nullopt;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<bool> negated(std::optional<bool> value) {
    return value ? std::optional<bool>(!*value) : std::nullopt;
}

// The cipher the encryption dictionary under key in the trailer names; None without one.
std::optional<EncryptionKind> encryptionOf(QPDF& pdf, const std::string& key) {
    QPDFObjectHandle encrypt = pdf.getTrailer().getKey(key);
    if (encrypt.isNull()) {
        return EncryptionKind::None;
    }
    QpdfAuditSource source(pdf, true);
    return encryptionKind(source, QpdfAuditSource::converted(encrypt, false));
}

// Encryption and PasswordToOpen of a document opened with password, or with its encryption
// renamed when that spares what the dump reads (the empty password was refused then). An
// encryption that spares streams too covers embedded files alone: viewers open the document
// without a password, and ask for one when an attachment is opened.
void addEncryptionFacts(QPDF& pdf, bool spared, bool streamsPlain, const std::string& password,
                        const OpenDocument& open, AuditFacts& audit) {
    audit.encryption = encryptionOf(pdf, spared ? std::string(disabledEncryptKey) : "/Encrypt");
    if (spared) {
        audit.passwordToOpen = !streamsPlain;
    } else if (audit.encryption == EncryptionKind::None || password.empty()) {
        audit.passwordToOpen = false;
    } else {
        audit.passwordToOpen = negated(opensWithEmptyPassword(open));
    }
}

Attempt attempt(const OpenDocument& open, const std::vector<std::string>& candidates,
                bool needsSparingEncryption, const std::optional<AuditLimits>& audit) {
    Attempt result;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        try {
            QPDF pdf;
            silence(pdf);
            open(pdf, candidates[i].c_str());
            if (needsSparingEncryption && !encryptionSparesWhatWeRead(pdf, result.streamsPlain)) {
                result.passwordRefused = true;
                result.error = "the encryption covers what the dump reads";
                return result;
            }
            result.facts = collectFacts(pdf, result.warnings, result.streamsPlain, audit);
            if (audit) {
                addEncryptionFacts(pdf, needsSparingEncryption, result.streamsPlain, candidates[i],
                                   open, *result.facts.audit);
            }
            result.opened = true;
            return result;
        } catch (const QPDFExc& e) {
            result.passwordRefused = e.getErrorCode() == qpdf_e_password;
            result.error = "not a readable PDF: " + e.getMessageDetail();
            if (!result.passwordRefused) {
                return result;
            }
        } catch (const QPDFSystemError& e) {
            result.final = true;
            result.error = std::strerror(e.getErrno());
            return result;
        } catch (const std::bad_alloc&) {
            result.final = true;
            result.error = "not enough memory";
            return result;
        } catch (const std::exception& e) {
            result.error = std::string("not a readable PDF: ") + e.what();
            return result;
        }
    }
    return result;
}

// The repairs of a file's bytes, in the order they are tried.
enum class Repair { SpareEncryption, DropEncryption, HugeIntegers, XrefStream, Trailer };

bool mentions(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// The next repair worth trying for the best try so far, or nothing.
std::optional<Repair> nextRepair(const Attempt& best, const std::set<Repair>& tried,
                                 bool passwordGiven) {
    auto untried = [&](Repair repair) {
        return tried.count(repair) == 0 ? std::optional<Repair>(repair) : std::nullopt;
    };
    if (best.final) {
        return std::nullopt;
    }
    if (best.passwordRefused) {
        return passwordGiven ? std::nullopt : untried(Repair::SpareEncryption);
    }
    if (!best.opened) {
        if (mentions(best.error, "/Encrypt in trailer dictionary is not a dictionary")) {
            if (auto repair = untried(Repair::DropEncryption)) {
                return repair;
            }
        }
        if (mentions(best.error, "integer out of range") ||
            mentions(best.error, "overflow/underflow converting")) {
            if (auto repair = untried(Repair::HugeIntegers)) {
                return repair;
            }
        }
    }
    if (auto repair = untried(Repair::XrefStream)) {
        return repair;
    }
    return untried(Repair::Trailer);
}

std::optional<std::string> repaired(Repair repair, std::string_view bytes) {
    switch (repair) {
    case Repair::SpareEncryption:
    case Repair::DropEncryption:
        return withoutEncryption(bytes);
    case Repair::HugeIntegers:
        return withoutHugeIntegers(bytes);
    case Repair::XrefStream:
        return withStartxrefToXrefStream(bytes);
    case Repair::Trailer:
        return withRebuiltTrailer(bytes);
    }
    return std::nullopt;
}

std::string describe(Repair repair, const Attempt& before, const Attempt& after) {
    static constexpr std::string_view prefix = "not a readable PDF: ";
    std::string why = before.opened ? "no page count" : oneLine(before.error);
    if (why.compare(0, prefix.size(), prefix) == 0) {
        why.erase(0, prefix.size());
    }
    switch (repair) {
    case Repair::SpareEncryption:
        return after.streamsPlain
                   ? "read without a password: the encryption leaves strings and streams alone"
                   : "read without a password: the encryption leaves strings alone (streams "
                     "not read)";
    case Repair::DropEncryption:
        return "read as unencrypted: /Encrypt in the trailer is not a dictionary";
    case Repair::HugeIntegers:
        return "skipped numbers too large for an object number or offset (" + why + ")";
    case Repair::XrefStream:
        return "read through the last cross-reference stream found (" + why + ")";
    case Repair::Trailer:
        return "rebuilt the trailer from the objects found (" + why + ")";
    }
    return {};
}

// Whether next, read from a copy repaired that way, reads more of the document than best.
// A copy whose structure was guessed must lead to a page: else the guess found no document.
bool improves(const Attempt& next, const Attempt& best, Repair repair) {
    const bool guessed = repair == Repair::XrefStream || repair == Repair::Trailer;
    if (!next.opened || (guessed && next.facts.pageCount.value_or(0) <= 0)) {
        return false;
    }
    return !best.opened || (next.facts.pageCount && !best.facts.pageCount);
}

// Bytes of the whole file for the repairs, read only when one is needed.
using LoadBytes = std::function<std::optional<std::string_view>()>;

// What the audit tells of a document no password given opened: whether the empty one does,
// and the cipher, read from a copy whose encryption qpdf ignores.
AuditFacts refusedAudit(const OpenDocument& open, const LoadBytes& loadBytes, bool passwordGiven) {
    AuditFacts audit;
    audit.passwordToOpen = passwordGiven ? negated(opensWithEmptyPassword(open)) : true;
    const std::optional<std::string_view> bytes = loadBytes();
    const std::optional<std::string> copy = bytes ? withoutEncryption(*bytes) : std::nullopt;
    if (!copy) {
        return audit;
    }
    try {
        QPDF pdf;
        silence(pdf);
        pdf.processMemoryFile("encryption", copy->data(), copy->size());
        audit.encryption = encryptionOf(pdf, std::string(disabledEncryptKey));
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        // The cipher stays unknown.
    }
    return audit;
}

ReadResult readDocument(const OpenDocument& open, const LoadBytes& loadBytes,
                        const std::optional<std::string>& password,
                        const std::optional<AuditLimits>& audit) {
    const bool passwordGiven = password && !password->empty();
    const std::vector<std::string> candidates =
        passwordGiven ? passwordCandidates(*password) : std::vector<std::string>{""};
    Attempt best = attempt(open, candidates, false, audit);
    std::vector<std::string> repairs;
    std::optional<std::string_view> current;
    std::string currentCopy;
    std::set<Repair> tried;
    while (!best.complete()) {
        const std::optional<Repair> repair = nextRepair(best, tried, passwordGiven);
        if (!repair) {
            break;
        }
        tried.insert(*repair);
        if (!current && !(current = loadBytes())) {
            break;
        }
        std::optional<std::string> copy = repaired(*repair, *current);
        if (!copy) {
            continue;
        }
        const std::string& bytes = *copy;
        Attempt next = attempt(
            [&](QPDF& pdf, const char* pw) {
                pdf.processMemoryFile("repaired", bytes.data(), bytes.size(), pw);
            },
            candidates, *repair == Repair::SpareEncryption, audit);
        if (improves(next, best, *repair)) {
            repairs.push_back(describe(*repair, best, next));
            best = std::move(next);
            currentCopy = std::move(*copy);
            current = currentCopy;
        }
    }
    ReadResult result;
    if (!best.opened) {
        if (best.passwordRefused) {
            ReadResult refused =
                failure(passwordGiven ? "wrong password" : "encrypted: a password is required");
            if (audit) {
                refused.facts.audit = refusedAudit(open, loadBytes, passwordGiven);
            }
            return refused;
        }
        return failure(best.error);
    }
    result.ok = true;
    result.facts = std::move(best.facts);
    result.warnings = std::move(repairs);
    for (std::string& warning : best.warnings) {
        result.warnings.push_back(oneLine(std::move(warning)));
    }
    return result;
}

// Linearized, for a document read with the audit.
void addLinearization(ReadResult& result, std::string_view head, std::int64_t fileSize) {
    if (result.ok && result.facts.audit) {
        result.facts.audit->linearized = isLinearized(head, fileSize);
    }
}

ReadResult quickResult(QuickRead read) {
    ReadResult result;
    result.ok = true;
    result.facts = std::move(read.facts);
    for (std::string& warning : read.warnings) {
        result.warnings.push_back(oneLine(std::move(warning)));
    }
    return result;
}

} // namespace

std::vector<std::string> passwordCandidates(const std::string& typed) {
    std::vector<std::string> candidates{typed};
    auto add = [&](const std::string& candidate) {
        if (std::find(candidates.begin(), candidates.end(), candidate) == candidates.end()) {
            candidates.push_back(candidate);
        }
    };
    bool isValidUtf8 = false;
    bool isUtf16 = false;
    bool has8Bit = false;
    QUtil::analyze_encoding(typed, has8Bit, isValidUtf8, isUtf16);
    if (has8Bit && isValidUtf8) {
        std::string pdfDoc;
        if (QUtil::utf8_to_pdf_doc(typed, pdfDoc)) {
            add(pdfDoc);
        }
    } else if (has8Bit) {
        add(QUtil::pdf_doc_to_utf8(typed));
    }
    return candidates;
}

ReadResult readPdfFile(const std::string& path, const std::optional<std::string>& password,
                       const FileReading& reading) {
    std::string error;
    const std::unique_ptr<FileSnapshot> file = FileSnapshot::open(path, error);
    if (!file) {
        return failure(error);
    }
    return readOpenedPdf(*file, password, reading);
}

ReadResult readOpenedPdf(FileSnapshot& file, const std::optional<std::string>& password,
                         const FileReading& reading) {
    std::string bytes;
    bool loaded = false;
    const auto loadBytes = [&]() -> std::optional<std::string_view> {
        if (!loaded) {
            if (file.size() > repairReadLimit || !file.readAll(bytes)) {
                return std::nullopt;
            }
            loaded = true;
        }
        return std::string_view(bytes);
    };
    ReadResult result;
    if (file.size() <= reading.wholeReadLimit) {
        // One read; the file is then read in memory.
        if (!loadBytes()) {
            return failure(file.failure());
        }
        std::optional<QuickRead> quick;
        if (reading.quickReader) {
            quick = readQuickly(bytes, reading.audit);
        }
        result = quick ? quickResult(std::move(*quick))
                       : readDocument(
                             [&](QPDF& pdf, const char* pw) {
                                 pdf.processMemoryFile(file.path().c_str(), bytes.data(),
                                                       bytes.size(), pw);
                             },
                             loadBytes, password, reading.audit);
        addLinearization(result, bytes.substr(0, linearizationWindow), file.size());
    } else {
        // Shared by every try, so that qpdf and a second password find the blocks read.
        const auto source =
            std::make_shared<BlockCacheSource>(file, reading.blockSize, reading.cachedBlocks);
        std::optional<QuickRead> quick;
        if (reading.quickReader) {
            quick = readQuickly(*source, file.size(), reading.audit);
        }
        result = quick ? quickResult(std::move(*quick))
                       : readDocument(
                             [&](QPDF& pdf, const char* pw) { pdf.processInputSource(source, pw); },
                             loadBytes, password, reading.audit);
        if (result.ok && result.facts.audit) {
            std::string head(static_cast<std::size_t>(std::min<std::int64_t>(
                                 file.size(), std::int64_t{linearizationWindow})),
                             '\0');
            if (file.readAt(0, head.data(), head.size())) {
                addLinearization(result, head, file.size());
            }
        }
    }
    // Checked after qpdf is done: it takes some failed reads for damage and reads on.
    if (!file.unchanged()) {
        return failure(file.failure());
    }
    return result;
}

ReadResult readPdfBuffer(std::string_view bytes, const std::optional<std::string>& password,
                         const FileReading& reading) {
    std::optional<QuickRead> quick;
    if (reading.quickReader) {
        quick = readQuickly(bytes, reading.audit);
    }
    ReadResult result =
        quick ? quickResult(std::move(*quick))
              : readDocument(
                    [&](QPDF& pdf, const char* pw) {
                        pdf.processMemoryFile("memory", bytes.data(), bytes.size(), pw);
                    },
                    [&]() -> std::optional<std::string_view> { return bytes; }, password,
                    reading.audit);
    addLinearization(result, bytes.substr(0, linearizationWindow),
                     static_cast<std::int64_t>(bytes.size()));
    return result;
}

} // namespace pdfinfodump
