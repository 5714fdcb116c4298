#include "extract/ToolRunner.h"

#include "base/EventPump.h"
#include "base/Progress.h"
#include "extract/ToolProcess.h"
#include "extract/WaitingProgress.h"

#include <QElapsedTimer>

#include <cmath>
#include <cstring>

namespace extract {

namespace {
constexpr int textThreshold = waitingTextAfterPasses;
constexpr int stepPeriod = 150;
} // namespace

int roundHalfToEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

QString waitingText(const QString& caption, int passes) {
    return caption + (caption.isEmpty() ? QString() : QStringLiteral(", ")) +
           QStringLiteral("Please wait.. ") + QString::number(passes - textThreshold);
}

std::optional<int> nudgedValue(int passes, int startValue, int count) {
    if (count <= 0 || passes < textThreshold || (passes - textThreshold) % stepPeriod != 0)
        return std::nullopt;
    const int step = roundHalfToEven(100.0 / count / 10.0);
    const int limit = roundHalfToEven(100.0 / count + startValue - step);
    const double value =
        static_cast<double>(passes - textThreshold) / stepPeriod * step + startValue;
    return value >= limit ? limit : static_cast<int>(value);
}

QString firstErrorLine(const QByteArray& errorOutput) {
    for (const QByteArray& line : errorOutput.split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (!text.isEmpty() && !text.startsWith(QLatin1String("pdftk: warning:")))
            return text;
    }
    return {};
}

ToolResult runToolAndWait(const ToolCommand& command, base::Progress* progress,
                          const QString& caption, int startValue, int count,
                          const RunLimits& limits) {
    ToolProcess tool(command);
    if (!tool.wasStarted()) {
        const int error = tool.startError();
        return {false, startFailureBase + error, QString::fromLocal8Bit(std::strerror(error))};
    }

    QElapsedTimer clock;
    clock.start();
    WaitingProgress waiting(progress, caption, startValue, count, limits.pass);
    bool stopped = false;
    while (tool.running() && !stopped) {
        tool.waitUpTo(static_cast<int>(limits.pass.count()));
        base::letEventsRun();
        waiting.update();
        if (tool.running() && clock.elapsed() > limits.toolLimit.count()) {
            tool.stop();
            stopped = true;
        }
    }
    waiting.restoreCaption();
    return {true, stopped ? toolStopped : tool.exitCode(), firstErrorLine(tool.errors())};
}

} // namespace extract
