#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

// The handler may do almost nothing: it writes a byte that wakes the event loop.
int wakeUp[2] = {-1, -1};

void noteSignal(int number) {
    const int saved = errno;
    const auto byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
    errno = saved;
}

} // namespace

void onTerminationSignals(std::function<void(int signal)> end) {
    if (wakeUp[0] < 0 && ::pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier =
        new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [end = std::move(end)] {
        char bytes[64];
        ssize_t got = 0;
        int last = 0;
        while ((got = ::read(wakeUp[0], bytes, sizeof bytes)) > 0)
            last = static_cast<unsigned char>(bytes[got - 1]);
        if (last != 0)
            end(last);
    });
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

} // namespace platform
