#include "tool/PdfReading.h"

#include "tool/DamagedFileRepair.h"
#include "tool/FactCollection.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFSystemError.hh>
#include <qpdf/QUtil.hh>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <new>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

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

constexpr off_t wholeReadLimit = off_t{1} << 20;
// The repairs work on a copy of the whole file in memory; larger files are not repaired.
constexpr off_t repairReadLimit = off_t{256} << 20;

// Reads the whole file of the given size into bytes, wherever the file's position is.
// Returns 0 or the errno of the failed read. A file that shrank meanwhile gives what is
// left; one that grew, its first size bytes.
int readWhole(int fd, std::size_t size, std::string& bytes) {
    bytes.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, bytes.data() + done, size - done, static_cast<off_t>(done));
        if (got == 0) {
            break;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return 0;
}

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
    std::string error;

    bool complete() const { return opened && facts.pageCount.has_value(); }
};

// Whether an opened document, whose /Encrypt was renamed, encrypts neither strings nor
// streams (only embedded files, say): then nothing we read needs the key.
bool encryptionSparesWhatWeRead(QPDF& pdf) {
    QPDFObjectHandle encrypt = pdf.getTrailer().getKey(std::string(disabledEncryptKey));
    if (!encrypt.isDictionary() || !encrypt.getKey("/V").isInteger() ||
        encrypt.getKey("/V").getIntValue() < 4) {
        return false;
    }
    for (const char* key : {"/StmF", "/StrF"}) {
        QPDFObjectHandle filter = encrypt.getKey(key);
        // Absent means /Identity.
        if (!filter.isNull() && !(filter.isName() && filter.getName() == "/Identity")) {
            return false;
        }
    }
    return true;
}

Attempt attempt(const OpenDocument& open, const std::vector<std::string>& candidates,
                bool needsSparingEncryption) {
    Attempt result;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        try {
            QPDF pdf;
            silence(pdf);
            open(pdf, candidates[i].c_str());
            if (needsSparingEncryption && !encryptionSparesWhatWeRead(pdf)) {
                result.passwordRefused = true;
                result.error = "encryption covers more than embedded files";
                return result;
            }
            result.facts = collectFacts(pdf, result.warnings);
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

std::string describe(Repair repair, const Attempt& before) {
    static constexpr std::string_view prefix = "not a readable PDF: ";
    std::string why = before.opened ? "no page count" : oneLine(before.error);
    if (why.compare(0, prefix.size(), prefix) == 0) {
        why.erase(0, prefix.size());
    }
    switch (repair) {
    case Repair::SpareEncryption:
        return "read without a password: the encryption leaves strings and streams alone";
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

ReadResult readDocument(const OpenDocument& open, const LoadBytes& loadBytes,
                        const std::optional<std::string>& password) {
    const bool passwordGiven = password && !password->empty();
    const std::vector<std::string> candidates =
        passwordGiven ? passwordCandidates(*password) : std::vector<std::string>{""};
    Attempt best = attempt(open, candidates, false);
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
            candidates, *repair == Repair::SpareEncryption);
        if (improves(next, best, *repair)) {
            repairs.push_back(describe(*repair, best));
            best = std::move(next);
            currentCopy = std::move(*copy);
            current = currentCopy;
        }
    }
    ReadResult result;
    if (!best.opened) {
        if (best.passwordRefused) {
            return failure(passwordGiven ? "wrong password" : "encrypted: a password is required");
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

ReadResult readPdfFile(const std::string& path, const std::optional<std::string>& password) {
    // O_NONBLOCK keeps open() from waiting for a writer on a FIFO; for a regular file it
    // changes nothing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return failure(std::strerror(errno));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = S_ISDIR(status.st_mode) ? EISDIR : 0;
        ::close(fd);
        return failure(error != 0 ? std::strerror(error) : "not a regular file");
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(::fdopen(fd, "rb"), &std::fclose);
    if (!file) {
        ::close(fd);
        return failure(std::strerror(errno));
    }
    std::string bytes;
    bool loaded = false;
    int readError = 0;
    const auto loadBytes = [&]() -> std::optional<std::string_view> {
        if (!loaded) {
            if (status.st_size > repairReadLimit) {
                return std::nullopt;
            }
            readError =
                readWhole(::fileno(file.get()), static_cast<std::size_t>(status.st_size), bytes);
            if (readError != 0) {
                return std::nullopt;
            }
            loaded = true;
        }
        return std::string_view(bytes);
    };
    // A typical PDF is read in one go: qpdf seeks back and forth, and on a stdio stream
    // every seek costs a fresh read. Larger files are read piecemeal, as qpdf needs them.
    if (status.st_size <= wholeReadLimit) {
        if (!loadBytes()) {
            return failure(std::strerror(readError));
        }
        return readDocument(
            [&](QPDF& pdf, const char* pw) {
                pdf.processMemoryFile(path.c_str(), bytes.data(), bytes.size(), pw);
            },
            loadBytes, password);
    }
    return readDocument(
        [&](QPDF& pdf, const char* pw) {
            std::rewind(file.get());
            pdf.processFile(path.c_str(), file.get(), false, pw);
        },
        loadBytes, password);
}

ReadResult readPdfBuffer(std::string_view bytes, const std::optional<std::string>& password) {
    return readDocument(
        [&](QPDF& pdf, const char* pw) {
            pdf.processMemoryFile("memory", bytes.data(), bytes.size(), pw);
        },
        [&]() -> std::optional<std::string_view> { return bytes; }, password);
}

} // namespace pdfinfodump
