#pragma once

#include "base/Progress.h"

namespace cli {

// Progress on the error output, one line rewritten in place, when that is a terminal;
// nothing otherwise, so a log or a pipe gets no clutter.
class TerminalProgress final : public base::Progress {
public:
    TerminalProgress();
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void setValue(int value) override;
    int value() const override { return shownValue; }
    void setText(const QString& text) override;
    QString text() const override { return shownText; }

private:
    void draw();

    bool toTerminal;
    int shownValue = 0;
    QString shownText;
};

} // namespace cli
