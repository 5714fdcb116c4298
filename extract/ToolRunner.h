#pragma once

#include "extract/ToolCommand.h"

#include <optional>

namespace platform {
class TextProgressBar;
}

namespace extract {

// What the runner returns when the tool could not be started: this base plus an error
// number (2 when the program is missing, 13 when it may not be run).
inline constexpr int startFailureBase = -2147221504;
// What it returns when the tool ran past the time limit and was stopped.
inline constexpr int toolStopped = -1;

// How a tool run ended.
struct ToolResult {
    bool started = true;
    // The tool's exit code; startFailureBase plus an error number when it could not be
    // started; toolStopped when it ran past the limit.
    int exitCode = 0;
    // Why it failed, in one line: the first line the tool wrote on its error output that is
    // not a warning, or why it could not be started. Empty when it said nothing.
    QString problem;
};

struct RunLimits {
    // A tool that hangs (some damaged PDFs make tools loop for ever) is stopped after this.
    int maximumSeconds = 180;
};

// Starts the tool and waits until it has ended, letting window events run meanwhile so the
// window stays responsive. With a progress bar: once the wait has lasted about five
// seconds the bar says "Please wait.. N" after the caption, and every further fifteen
// seconds its value moves a little within the share of the current file; at the end the
// caption is put back. The tool runs in a process group of its own, and the whole group is
// stopped when the wait ends early (the program closing) or runs past the limit, so that no
// process of it is ever left behind.
ToolResult RunToolAndWait(const ToolCommand& command, platform::TextProgressBar* bar,
                          const QString& caption, int startValue, int count, RunLimits limits = {});

// The bar's text while a tool is slow, after `passes` waits of 100 ms.
QString waitingText(const QString& caption, int passes);

// The bar's value after `passes` waits, when it moves then.
std::optional<int> nudgedValue(int passes, int startValue, int count);

// The first line of a tool's error output that is not a warning ("pdftk: warning: ..."),
// trimmed; empty when there is none.
QString firstErrorLine(const QByteArray& errorOutput);

// Rounds to the nearest whole number, halves to the even neighbour.
int roundHalfToEven(double value);

} // namespace extract
