#pragma once

#include "extract/ToolCommand.h"

#include <chrono>
#include <optional>

namespace base {
class Progress;
}

namespace extract {

// What the runner returns when the tool could not be started: this base plus an error
// number (2 when the program is missing, 13 when it may not be run).
inline constexpr int startFailureBase = -2147221504;
// What it returns when the tool ran past the time limit and was stopped.
inline constexpr int toolStopped = -1;
// How many passes of waiting go by before progress says "Please wait..".
inline constexpr int waitingTextAfterPasses = 50;

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
    std::chrono::milliseconds toolLimit = std::chrono::seconds(180);
    // The waiting text and the nudges of the progress count passes of this length.
    std::chrono::milliseconds pass = std::chrono::milliseconds(100);
};

// Starts the tool and waits until it has ended, letting events run meanwhile so the
// window stays responsive. With progress: once the wait has lasted 50 passes (five
// seconds) the text says "Please wait.. N" after the caption, and every further 150 passes
// the value moves a little within the share of the current file; at the end the caption is
// put back. The tool is stopped, with its children, when the wait ends early (the program
// closing) or runs past the limit.
ToolResult runToolAndWait(const ToolCommand& command, base::Progress* progress,
                          const QString& caption, int startValue, int count,
                          const RunLimits& limits = {});

// The progress text while a tool is slow, after `passes` waits.
QString waitingText(const QString& caption, int passes);

// The progress value after `passes` waits, when it moves then.
std::optional<int> nudgedValue(int passes, int startValue, int count);

// The first line of a tool's error output that is not a warning ("pdftk: warning: ..."),
// trimmed; empty when there is none.
QString firstErrorLine(const QByteArray& errorOutput);

// Rounds to the nearest whole number, halves to the even neighbour.
int roundHalfToEven(double value);

} // namespace extract
