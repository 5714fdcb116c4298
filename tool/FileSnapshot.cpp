#include "tool/FileSnapshot.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace pdfinfodump {

std::unique_ptr<FileSnapshot> FileSnapshot::open(const std::string& path, std::string& error) {
    // O_NONBLOCK keeps open() from waiting for a writer on a FIFO; for a regular file it
    // changes nothing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<FileSnapshot>(
        new FileSnapshot(fd, path, std::int64_t{status.st_size}, status.st_mtim));
}

FileSnapshot::FileSnapshot(int fd, std::string path, std::int64_t size, const timespec& modified)
    : fd_(fd), path_(std::move(path)), size_(size), modified_(modified) {}

FileSnapshot::~FileSnapshot() {
    ::close(fd_);
}

bool FileSnapshot::fail(std::string why) {
    if (failure_.empty()) {
        failure_ = std::move(why);
    }
    return false;
}

bool FileSnapshot::readAt(std::int64_t offset, char* out, std::size_t length) {
    if (!failure_.empty()) {
        return false;
    }
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd_, out + done, length - done,
                                    static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (got == 0) {
            return fail("the file shrank while it was read");
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(std::strerror(errno));
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool FileSnapshot::readAll(std::string& bytes) {
    bytes.resize(static_cast<std::size_t>(size_));
    if (!readAt(0, bytes.data(), bytes.size())) {
        bytes.clear();
        return false;
    }
    return true;
}

bool FileSnapshot::unchanged() {
    if (!failure_.empty()) {
        return false;
    }
    struct stat status {};
    if (::fstat(fd_, &status) != 0) {
        return fail(std::strerror(errno));
    }
    if (status.st_size < size_) {
        return fail("the file shrank while it was read");
    }
    if (status.st_size != size_ || status.st_mtim.tv_sec != modified_.tv_sec ||
        status.st_mtim.tv_nsec != modified_.tv_nsec) {
        return fail("the file changed while it was read");
    }
    return true;
}

} // namespace pdfinfodump
