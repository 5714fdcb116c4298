#pragma once

#include "base/RunTimeError.h"

#include <QString>

#include <atomic>

namespace base {

// Where a long operation shows how far it has come: a value (0 to 100, though some
// operations pass 100) and a text. The window shows it in its progress bar; the command
// line on its error output.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void setValue(int value) = 0;
    virtual int value() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual QString text() const = 0;

    // The resting state: value 0 and "Progress Bar".
    void reset() {
        setValue(0);
        setText(QStringLiteral("Progress Bar"));
    }
};

// Shows value and text where there is a progress to show them.
inline void showProgress(Progress* progress, int value, const QString& text) {
    if (!progress)
        return;
    progress->setValue(value);
    progress->setText(text);
}

// Progress that goes nowhere, remembering only the last value and text.
class SilentProgress final : public Progress {
public:
    void setValue(int newValue) override { shownValue = newValue; }
    int value() const override { return shownValue; }
    void setText(const QString& newText) override { shownText = newText; }
    QString text() const override { return shownText; }

private:
    int shownValue = 0;
    QString shownText;
};

// A request to stop a long operation that runs in a thread of its own: the operation looks
// at it between its steps and ends there (throwIfStopped).
class StopRequest {
public:
    void request() { requested = true; }
    bool isRequested() const { return requested; }
    void throwIfRequested() const {
        if (requested)
            throw Stopped();
    }

private:
    std::atomic<bool> requested = false;
};

} // namespace base
