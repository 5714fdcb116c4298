#include "tool/ResourceLimits.h"

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PARVILON_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define PARVILON_ADDRESS_SANITIZER 1
#endif

namespace pdfinfodump {
namespace {

constexpr rlim_t processorSeconds = 60;

void lower(int resource, rlim_t limit) {
    rlimit current{};
    if (::getrlimit(resource, &current) != 0) {
        return;
    }
    if (current.rlim_cur == RLIM_INFINITY || current.rlim_cur > limit) {
        current.rlim_cur = limit;
        if (current.rlim_max != RLIM_INFINITY && current.rlim_max < limit) {
            current.rlim_cur = current.rlim_max;
        }
        ::setrlimit(resource, &current);
    }
}

extern "C" void reportProcessorLimit(int) {
    [[maybe_unused]] const ssize_t ignored =
        ::write(STDERR_FILENO, processorLimitMessage.data(), processorLimitMessage.size());
    ::_exit(1);
}

} // namespace

void limitResources() {
    std::signal(SIGXCPU, reportProcessorLimit);
    lower(RLIMIT_CPU, processorSeconds);
#if !defined(PARVILON_ADDRESS_SANITIZER)
    // AddressSanitizer reserves terabytes of address space for its shadow memory.
    constexpr rlim_t addressSpaceBytes = rlim_t{4} << 30;
    lower(RLIMIT_AS, addressSpaceBytes);
#endif
}

void allowProcessorTimeFromNow() {
    rusage usage{};
    rlimit current{};
    if (::getrusage(RUSAGE_SELF, &usage) != 0 || ::getrlimit(RLIMIT_CPU, &current) != 0) {
        return;
    }
    // Whole seconds used, rounded up.
    const auto used =
        static_cast<rlim_t>(usage.ru_utime.tv_sec) + static_cast<rlim_t>(usage.ru_stime.tv_sec) + 1;
    rlim_t limit = used + processorSeconds;
    if (current.rlim_max != RLIM_INFINITY && current.rlim_max < limit) {
        limit = current.rlim_max;
    }
    current.rlim_cur = limit;
    ::setrlimit(RLIMIT_CPU, &current);
}

} // namespace pdfinfodump
