#include "tool/StandardErrorCapture.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PARVILON_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define PARVILON_ADDRESS_SANITIZER 1
#endif
#if defined(PARVILON_ADDRESS_SANITIZER)
#include <cstdint>
#include <sanitizer/common_interface_defs.h>
#endif

namespace pdfinfodump {

StandardErrorCapture::StandardErrorCapture() {
    memory_ = ::memfd_create("pdftk-standard-error", MFD_CLOEXEC);
    original_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (memory_ < 0 || original_ < 0) {
        if (memory_ >= 0) {
            ::close(memory_);
        }
        if (original_ >= 0) {
            ::close(original_);
        }
        memory_ = original_ = -1;
        return;
    }
#if defined(PARVILON_ADDRESS_SANITIZER)
    // A sanitizer's report goes where standard error went, not into an answer that is never
    // written when the report ends the process.
    __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(original_)));
#endif
}

StandardErrorCapture::~StandardErrorCapture() {
    if (memory_ >= 0) {
        ::close(memory_);
        ::close(original_);
    }
}

void StandardErrorCapture::start() {
    if (memory_ < 0) {
        return;
    }
    std::fflush(stderr);
    // Descriptor 2 will share the file's offset, so both start again at 0.
    [[maybe_unused]] const int cut = ::ftruncate(memory_, 0);
    ::lseek(memory_, 0, SEEK_SET);
    ::dup2(memory_, STDERR_FILENO);
}

std::string StandardErrorCapture::stop() {
    if (memory_ < 0) {
        return {};
    }
    std::cerr.flush();
    std::fflush(stderr);
    ::dup2(original_, STDERR_FILENO);
    struct stat status {};
    if (::fstat(memory_, &status) != 0) {
        return {};
    }
    std::string written(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t done = 0;
    while (done < written.size()) {
        const ssize_t got = ::pread(memory_, written.data() + done, written.size() - done,
                                    static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    written.resize(done);
    return written;
}

} // namespace pdfinfodump
