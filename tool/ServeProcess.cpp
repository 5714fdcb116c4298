#include "tool/ServeProcess.h"

#include "tool/ResourceLimits.h"
#include "tool/ServeLoop.h"
#include "tool/StandardErrorCapture.h"

#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pdfinfodump {
namespace {

// What the processor limit's signal handler needs to answer the request being read. Set
// before each request, outside the handler; read by the handler only.
struct LimitAnswer {
    int output = -1;
    int captured = -1;
    char id[24] = {};
    std::size_t idLength = 0;
    volatile std::sig_atomic_t reading = 0;
};

LimitAnswer limitAnswer;

// Decimal digits of value into out, which holds 24; returns their count. Safe in a handler.
std::size_t putDecimal(char* out, std::uint64_t value) {
    char reversed[24];
    std::size_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = reversed[count - 1 - i];
    }
    return count;
}

void writeRaw(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0) {
            return;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

// Only async-signal-safe calls: the answer a run of the tool would have given, status 1 and
// what it wrote on standard error, the limit's line last. The reading cannot go on, so the
// process ends as that run would.
extern "C" void answerProcessorLimit(int) {
    const LimitAnswer& answer = limitAnswer;
    if (!answer.reading) {
        writeRaw(STDERR_FILENO, processorLimitMessage.data(), processorLimitMessage.size());
        ::_exit(1);
    }
    struct stat status {};
    const std::uint64_t captured = answer.captured >= 0 && ::fstat(answer.captured, &status) == 0
                                       ? static_cast<std::uint64_t>(status.st_size)
                                       : 0;
    char header[96] = "answer ";
    std::size_t length = 7;
    for (std::size_t i = 0; i < answer.idLength; ++i) {
        header[length++] = answer.id[i];
    }
    for (const char c : {' ', '1', ' ', '0', ' '}) {
        header[length++] = c;
    }
    length += putDecimal(header + length, captured + processorLimitMessage.size());
    header[length++] = '\n';
    writeRaw(answer.output, header, length);
    char block[4096];
    for (std::uint64_t done = 0; done < captured;) {
        const ssize_t got = ::pread(answer.captured, block, sizeof block, static_cast<off_t>(done));
        if (got <= 0) {
            break;
        }
        writeRaw(answer.output, block, static_cast<std::size_t>(got));
        done += static_cast<std::uint64_t>(got);
    }
    writeRaw(answer.output, processorLimitMessage.data(), processorLimitMessage.size());
    ::_exit(1);
}

class ProcessGuard : public RequestGuard {
public:
    explicit ProcessGuard(int output) {
        limitAnswer.output = output;
        limitAnswer.captured = capture_.descriptor();
    }

    void begin(std::uint64_t id) override {
        // The limit is on the process's time, so it moves on with each file. The handler
        // answers instead of leaving the hard stop to the caller: the caller then learns why,
        // in the words a run of the tool for that file would have used.
        allowProcessorTimeFromNow();
        capture_.start();
        limitAnswer.idLength = putDecimal(limitAnswer.id, id);
        std::atomic_signal_fence(std::memory_order_seq_cst);
        limitAnswer.reading = 1;
    }

    std::string end() override {
        // Until the answer is taken, the handler answers with what was captured.
        std::string written = capture_.stop();
        std::atomic_signal_fence(std::memory_order_seq_cst);
        limitAnswer.reading = 0;
        return written;
    }

private:
    StandardErrorCapture capture_;
};

} // namespace

int serveStandardStreams() {
    // The frames go out through a descriptor of their own; standard output, which a library
    // might write to, goes nowhere.
    const int frames = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (frames < 0 || nowhere < 0 || ::dup2(nowhere, STDOUT_FILENO) < 0) {
        std::perror("pdftk: cannot serve");
        return 1;
    }
    ::close(nowhere);
    // A caller that goes away ends the loop through a failed write, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    ProcessGuard guard(frames);
    std::signal(SIGXCPU, answerProcessorLimit);
    return serveRequests(STDIN_FILENO, frames, guard);
}

} // namespace pdfinfodump
