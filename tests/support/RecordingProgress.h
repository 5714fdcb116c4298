#pragma once

#include "base/Progress.h"

#include <QList>
#include <QPair>
#include <QStringList>

namespace testsupport {

// Progress that records what it is told: every change of text and of value, and every
// (text, value) pair as it stood after each call.
class RecordingProgress final : public base::Progress {
public:
    void setValue(int value) override {
        if (values.isEmpty() || values.last() != value)
            values.append(value);
        shownValue = value;
        seen.append({shownText, shownValue});
    }
    int value() const override { return shownValue; }
    void setText(const QString& text) override {
        if (texts.isEmpty() || texts.last() != text)
            texts.append(text);
        shownText = text;
        seen.append({shownText, shownValue});
    }
    QString text() const override { return shownText; }

    QStringList texts;
    QList<int> values;
    QList<QPair<QString, int>> seen;

private:
    QString shownText;
    int shownValue = 0;
};

} // namespace testsupport
