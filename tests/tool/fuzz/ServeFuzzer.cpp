// libFuzzer target: the serving loop over a stream of requests and a file they may name. The
// input is the request stream, then "\nFILE\n", then the file's bytes (all stream when the
// separator is missing). The file is a file in memory at /proc/self/fd/99, the name the
// saved inputs' requests give. Besides crashes and hangs it catches answers that break the
// framing: the output must be the ready line and then whole answers only, each status 0, 1
// or 2, a dump only with status 0, standard error text as whole "pdftk: " lines, and the
// exit status must say how the stream ended.

#include "tool/ServeLoop.h"
#include "tool/ServeProtocol.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

using namespace pdfinfodump;

namespace {

constexpr int fileDescriptor = 99;
constexpr std::string_view separator = "\nFILE\n";

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A file in memory holding bytes, at its start.
int memoryFile(std::string_view bytes) {
    const int fd = ::memfd_create("serve-fuzz", MFD_CLOEXEC);
    check(fd >= 0);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        check(wrote > 0);
        done += static_cast<std::size_t>(wrote);
    }
    check(::lseek(fd, 0, SEEK_SET) == 0);
    return fd;
}

std::string contents(int fd) {
    std::string bytes;
    char block[65536];
    check(::lseek(fd, 0, SEEK_SET) == 0);
    for (ssize_t got; (got = ::read(fd, block, sizeof block)) > 0;) {
        bytes.append(block, static_cast<std::size_t>(got));
    }
    return bytes;
}

// Reading through the standard error of this process would hide a sanitizer's report, so
// nothing is captured here.
class NoGuard : public RequestGuard {
public:
    void begin(std::uint64_t) override {}
    std::string end() override { return {}; }
};

std::uint64_t number(std::string_view& text, char end) {
    const std::size_t stop = text.find(end);
    check(stop != std::string_view::npos && stop > 0 && stop <= 20);
    std::uint64_t value = 0;
    for (const char c : text.substr(0, stop)) {
        check(c >= '0' && c <= '9');
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    text.remove_prefix(stop + 1);
    return value;
}

bool isErrorText(std::string_view errors) {
    while (!errors.empty()) {
        const std::size_t end = errors.find('\n');
        if (end == std::string_view::npos || errors.substr(0, 7) != "pdftk: ") {
            return false;
        }
        errors.remove_prefix(end + 1);
    }
    return true;
}

// Checks the frames; returns the last answer's status, or -1 when there is none.
int checkFrames(std::string_view output) {
    check(output.substr(0, readyLine().size()) == readyLine());
    output.remove_prefix(readyLine().size());
    int lastStatus = -1;
    while (!output.empty()) {
        check(output.substr(0, 7) == "answer ");
        output.remove_prefix(7);
        number(output, ' ');
        const std::uint64_t status = number(output, ' ');
        const std::uint64_t dumpLength = number(output, ' ');
        const std::uint64_t errorLength = number(output, '\n');
        check(status <= 2 && (status == 0 || dumpLength == 0));
        check(dumpLength + errorLength <= output.size());
        const std::string_view errors = output.substr(dumpLength, errorLength);
        check(isErrorText(errors) && (status == 0 || !errors.empty()));
        output.remove_prefix(dumpLength + errorLength);
        lastStatus = static_cast<int>(status);
    }
    return lastStatus;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find(separator);
    const std::string_view stream = input.substr(0, split);
    const std::string_view file = split == std::string_view::npos
                                      ? std::string_view()
                                      : input.substr(split + separator.size());

    const int fileFd = memoryFile(file);
    check(::dup2(fileFd, fileDescriptor) == fileDescriptor);
    ::close(fileFd);
    const int in = memoryFile(stream);
    const int out = ::memfd_create("serve-fuzz-answers", MFD_CLOEXEC);
    check(out >= 0);

    NoGuard guard;
    const int status = serveRequests(in, out, guard);
    const int lastStatus = checkFrames(contents(out));
    // An end between requests is 0; anything else is answered with 2 and ends with 2.
    check(status == 0 || (status == 2 && lastStatus == 2));
    ::close(in);
    ::close(out);
    ::close(fileDescriptor);
    return 0;
}
