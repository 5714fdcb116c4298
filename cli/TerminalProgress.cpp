#include "cli/TerminalProgress.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace cli {

namespace {
constexpr qsizetype widest = 78; // columns of a line, so it never wraps on a small terminal
}

TerminalProgress::TerminalProgress() : toTerminal(::isatty(STDERR_FILENO) != 0) {}

TerminalProgress::~TerminalProgress() {
    if (toTerminal && !shownText.isEmpty())
        std::fputs("\r\033[K", stderr);
}

void TerminalProgress::setValue(int value) {
    shownValue = value;
    draw();
}

void TerminalProgress::setText(const QString& text) {
    shownText = text;
    draw();
}

void TerminalProgress::draw() {
    if (!toTerminal)
        return;
    if (shownText == QLatin1String("Progress Bar")) { // at rest: the line goes
        std::fputs("\r\033[K", stderr);
        return;
    }
    const QString line = QStringLiteral("[%1%] %2")
                             .arg(std::clamp(shownValue, 0, 100), 3)
                             .arg(shownText)
                             .left(widest);
    std::fprintf(stderr, "\r\033[K%s", qPrintable(line));
    std::fflush(stderr);
}

} // namespace cli
