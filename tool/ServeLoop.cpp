#include "tool/ServeLoop.h"

#include "tool/FileDump.h"
#include "tool/RequestInput.h"
#include "tool/ServeProtocol.h"

#include <cerrno>
#include <cstring>
#include <malloc.h>
#include <string_view>
#include <unistd.h>

namespace pdfinfodump {
namespace {

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// What the heap may hold between files before it is trimmed.
constexpr std::size_t keptHeapBytes = std::size_t{16} << 20;

// The memory the allocator holds from the system for its heaps, in use or free.
std::size_t heapBytesHeld() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.arena + info.hblkhd;
}

std::string badRequest(const std::string& reason) {
    return errorLine("bad request", reason);
}

// Why reading a request failed, for its answer.
std::string inputProblem(RequestInput::Result result, const RequestInput& input) {
    if (result == RequestInput::Result::Failed) {
        return std::string("cannot read the request: ") + std::strerror(input.error());
    }
    return "the input ended inside a request";
}

FileDump answerRequest(const RequestHeader& header, const std::string& path,
                       const std::string& password, RequestGuard& guard) {
    const std::optional<DumpWords> words = parseDumpWords(header.words);
    std::string refusal;
    if (!words) {
        refusal = "unknown dump words:";
        for (const std::string& word : header.words) {
            refusal += ' ' + word;
        }
    } else if (path.empty()) {
        refusal = "no file named";
    } else if (path.find('\0') != std::string::npos) {
        refusal = "a NUL byte in the path";
    }
    if (!refusal.empty()) {
        FileDump refused;
        refused.status = 2;
        refused.errors = badRequest(refusal);
        return refused;
    }
    std::optional<std::string> givenPassword;
    if (!password.empty()) {
        givenPassword = password;
    }
    guard.begin(header.id);
    FileDump dump = dumpFile(path, givenPassword, *words);
    dump.errors.insert(0, guard.end());
    return dump;
}

} // namespace

int serveRequests(int input, int output, RequestGuard& guard) {
    if (!writeAll(output, readyLine())) {
        return 1;
    }
    RequestInput requests(input);
    std::string line;
    std::string path;
    std::string password;
    for (;;) {
        const RequestInput::Result lineRead = requests.readLine(line, maxRequestHeaderBytes);
        if (lineRead == RequestInput::Result::End) {
            return 0;
        }
        if (lineRead != RequestInput::Result::Read) {
            const std::string reason = lineRead == RequestInput::Result::TooLong
                                           ? "a header line longer than " +
                                                 std::to_string(maxRequestHeaderBytes) + " bytes"
                                           : inputProblem(lineRead, requests);
            writeAll(output, answerFrame(0, 2, {}, badRequest(reason)));
            return 2;
        }
        const ParsedHeader parsed = parseRequestHeader(line);
        if (!parsed.header) {
            writeAll(output, answerFrame(parsed.id, 2, {}, badRequest(parsed.problem)));
            return 2;
        }
        const RequestHeader& header = *parsed.header;
        RequestInput::Result bytesRead = requests.readBytes(header.pathLength, path);
        if (bytesRead == RequestInput::Result::Read) {
            bytesRead = requests.readBytes(header.passwordLength, password);
        }
        if (bytesRead != RequestInput::Result::Read) {
            writeAll(output,
                     answerFrame(header.id, 2, {}, badRequest(inputProblem(bytesRead, requests))));
            return 2;
        }
        const FileDump dump = answerRequest(header, path, password, guard);
        if (!writeAll(output, answerFrame(header.id, dump.status, dump.dump, dump.errors))) {
            return 1;
        }
        // The next file starts with little more memory than a fresh process has: what the
        // heap still holds beyond a small reserve goes back to the system. Trimming after
        // every file would cost more than reading most files (its pages fault in again).
        if (heapBytesHeld() > keptHeapBytes) {
            ::malloc_trim(0);
        }
    }
}

} // namespace pdfinfodump
