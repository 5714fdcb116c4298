#include "tool/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pdfinfodump {
namespace {

// Returns 0 or the errno of the failed write.
int writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

std::string writeFileWhole(const std::string& path, std::string_view data) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string temporary = (folder / ".pdftk-output-XXXXXX").string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return std::strerror(errno);
    }
    // mkostemp makes the file private; give it the mode a newly created file would get.
    int error = ::fchmod(fd, 0666 & ~currentUmask()) == 0 ? 0 : errno;
    if (error == 0) {
        error = writeAll(fd, data);
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return std::strerror(error);
    }
    return {};
}

std::string writeStandardOutput(std::string_view data) {
    const int error = writeAll(STDOUT_FILENO, data);
    return error == 0 ? std::string() : std::strerror(error);
}

} // namespace pdfinfodump
