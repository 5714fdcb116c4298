#include "extract/WaitingProgress.h"

#include "base/Progress.h"

#include <cmath>

namespace extract {

namespace {
constexpr int stepPeriod = 150;
} // namespace

int roundHalfToEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

QString waitingText(const QString& caption, int passes) {
    return caption + (caption.isEmpty() ? QString() : QStringLiteral(", ")) +
           QStringLiteral("Please wait.. ") + QString::number(passes - waitingTextAfterPasses);
}

std::optional<int> nudgedValue(int passes, int startValue, int count) {
    if (count <= 0 || passes < waitingTextAfterPasses ||
        (passes - waitingTextAfterPasses) % stepPeriod != 0)
        return std::nullopt;
    const int step = roundHalfToEven(100.0 / count / 10.0);
    const int limit = roundHalfToEven(100.0 / count + startValue - step);
    const double value =
        static_cast<double>(passes - waitingTextAfterPasses) / stepPeriod * step + startValue;
    return value >= limit ? limit : static_cast<int>(value);
}

WaitingProgress::WaitingProgress(base::Progress& shownIn, const QString& shownCaption,
                                 int valueAtStart, int files, std::chrono::milliseconds pass)
    : progress(shownIn), caption(shownCaption), startValue(valueAtStart), count(files),
      passMs(std::max<qint64>(1, pass.count())) {
    waiting.start();
}

void WaitingProgress::restoreCaption() {
    progress.setText(caption.isEmpty() ? QStringLiteral("Progress Bar") : caption);
}

void WaitingProgress::leaveOut(qint64 milliseconds) {
    leftOutMs += milliseconds;
}

void WaitingProgress::update() {
    const auto passes =
        static_cast<int>(std::max<qint64>(0, waiting.elapsed() - leftOutMs) / passMs);
    while (passesShown < passes) {
        ++passesShown;
        if (passesShown < waitingTextAfterPasses)
            continue;
        progress.setText(waitingText(caption, passesShown));
        if (const auto value = nudgedValue(passesShown, startValue, count))
            progress.setValue(*value);
    }
}

} // namespace extract
