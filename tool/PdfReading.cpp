#include "tool/PdfReading.h"

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

// The root's /Count when its kids, one level down, add up to it: each kid page counts one,
// each kid node its own /Count. Damaged files get /Count wrong (0 beside a page, say), and
// then nothing is trusted.
std::optional<long long> checkedRootCount(QPDFObjectHandle root, long long objectCount) {
    if (!root.isDictionary()) {
        return std::nullopt;
    }
    QPDFObjectHandle count = root.getKey("/Count");
    QPDFObjectHandle kids = root.getKey("/Kids");
    if (!count.isInteger() || !kids.isArray()) {
        return std::nullopt;
    }
    const long long claimed = count.getIntValue();
    // Every page is an object of its own, so a larger count cannot be true.
    if (claimed <= 0 || claimed > objectCount) {
        return std::nullopt;
    }
    long long sum = 0;
    for (QPDFObjectHandle kid : kids.aitems()) {
        if (!kid.isDictionary()) {
            return std::nullopt;
        }
        long long pages = 1;
        if (kid.getKey("/Kids").isArray()) {
            QPDFObjectHandle kidCount = kid.getKey("/Count");
            pages = kidCount.isInteger() ? kidCount.getIntValue() : -1;
        }
        // Compared before adding, so that no count in the file can overflow the sum.
        if (pages < 0 || pages > claimed - sum) {
            return std::nullopt;
        }
        sum += pages;
    }
    return sum == claimed ? std::optional<long long>(claimed) : std::nullopt;
}

// Walking the whole page tree touches every page object, which in a large file with object
// streams means parsing most of the file (a second for a 2,400-page manual); a checked
// /Count costs a handful of objects. The walk is kept for trees whose counts do not add up.
long long countPages(QPDF& pdf) {
    // The trailer's /Size bounds the number of objects; QPDF::getObjectCount() would resolve
    // them all.
    QPDFObjectHandle size = pdf.getTrailer().getKey("/Size");
    if (size.isInteger()) {
        if (auto count = checkedRootCount(pdf.getRoot().getKey("/Pages"), size.getIntValue())) {
            return *count;
        }
    }
    return static_cast<long long>(pdf.getAllPages().size());
}

// Only the trailer, the information dictionary and the page tree are touched: no stream
// is decoded apart from the cross-reference and object streams qpdf needs to find objects.
DocumentFacts collectFacts(QPDF& pdf) {
    DocumentFacts facts;
    QPDFObjectHandle trailer = pdf.getTrailer();
    try {
        QPDFObjectHandle info = trailer.getKey("/Info");
        if (info.isDictionary()) {
            for (auto& [key, value] : info.getDictAsMap()) {
                if (value.isString()) {
                    facts.info.push_back({key.substr(1), value.getStringValue()});
                }
            }
        }
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        // An information dictionary that cannot be read gives no entries.
    }
    try {
        QPDFObjectHandle id = trailer.getKey("/ID");
        if (id.isArray()) {
            const int items = std::min(id.getArrayNItems(), 2);
            for (int i = 0; i < items; ++i) {
                QPDFObjectHandle item = id.getArrayItem(i);
                facts.ids.push_back(item.isString() ? item.getStringValue() : std::string());
            }
        }
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        facts.ids.clear();
    }
    try {
        facts.pageCount = countPages(pdf);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        // No page count rather than a made-up one.
    }
    return facts;
}

constexpr off_t wholeReadLimit = off_t{1} << 20;

// Reads the whole file of the given size into bytes. Returns 0 or the errno of the failed
// read. A file that shrank meanwhile gives what is left; one that grew, its first size bytes.
int readWhole(int fd, std::size_t size, std::string& bytes) {
    bytes.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, bytes.data() + done, size - done);
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

ReadResult readDocument(const OpenDocument& open, const std::optional<std::string>& password) {
    const bool passwordGiven = password && !password->empty();
    const std::vector<std::string> candidates =
        passwordGiven ? passwordCandidates(*password) : std::vector<std::string>{""};
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const bool lastTry = i + 1 == candidates.size();
        try {
            QPDF pdf;
            silence(pdf);
            open(pdf, candidates[i].c_str());
            ReadResult result;
            result.facts = collectFacts(pdf);
            result.ok = true;
            return result;
        } catch (const QPDFExc& e) {
            if (e.getErrorCode() != qpdf_e_password) {
                return failure("not a readable PDF: " + e.getMessageDetail());
            }
            if (lastTry) {
                return failure(passwordGiven ? "wrong password"
                                             : "encrypted: a password is required");
            }
        } catch (const QPDFSystemError& e) {
            return failure(std::strerror(e.getErrno()));
        } catch (const std::bad_alloc&) {
            return failure("not enough memory");
        } catch (const std::exception& e) {
            return failure(std::string("not a readable PDF: ") + e.what());
        }
    }
    return failure("wrong password");
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
    // A typical PDF is read in one go: qpdf seeks back and forth, and on a stdio stream
    // every seek costs a fresh read. Larger files are read piecemeal, as qpdf needs them.
    if (status.st_size <= wholeReadLimit) {
        std::string bytes;
        const int error = readWhole(fd, static_cast<std::size_t>(status.st_size), bytes);
        ::close(fd);
        if (error != 0) {
            return failure(std::strerror(error));
        }
        return readDocument(
            [&](QPDF& pdf, const char* pw) {
                pdf.processMemoryFile(path.c_str(), bytes.data(), bytes.size(), pw);
            },
            password);
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(::fdopen(fd, "rb"), &std::fclose);
    if (!file) {
        ::close(fd);
        return failure(std::strerror(errno));
    }
    return readDocument(
        [&](QPDF& pdf, const char* pw) {
            std::rewind(file.get());
            pdf.processFile(path.c_str(), file.get(), false, pw);
        },
        password);
}

ReadResult readPdfBuffer(std::string_view bytes, const std::optional<std::string>& password) {
    return readDocument(
        [&](QPDF& pdf, const char* pw) {
            pdf.processMemoryFile("memory", bytes.data(), bytes.size(), pw);
        },
        password);
}

} // namespace pdfinfodump
