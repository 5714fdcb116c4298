#include "extract/WaitingProgress.h"

#include "base/Progress.h"
#include "extract/ToolRunner.h"

namespace extract {

WaitingProgress::WaitingProgress(base::Progress* shownIn, const QString& shownCaption,
                                 int valueAtStart, int files, std::chrono::milliseconds pass)
    : progress(shownIn), caption(shownCaption), startValue(valueAtStart), count(files),
      passMs(std::max<qint64>(1, pass.count())) {
    waiting.start();
}

void WaitingProgress::restoreCaption() {
    if (progress)
        progress->setText(caption.isEmpty() ? QStringLiteral("Progress Bar") : caption);
}

void WaitingProgress::leaveOut(qint64 milliseconds) {
    leftOutMs += milliseconds;
}

void WaitingProgress::update() {
    if (!progress)
        return;
    const auto passes =
        static_cast<int>(std::max<qint64>(0, waiting.elapsed() - leftOutMs) / passMs);
    while (passesShown < passes) {
        ++passesShown;
        if (passesShown < waitingTextAfterPasses)
            continue;
        progress->setText(waitingText(caption, passesShown));
        if (const auto value = nudgedValue(passesShown, startValue, count))
            progress->setValue(*value);
    }
}

} // namespace extract
