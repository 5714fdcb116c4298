#pragma once

#include <QElapsedTimer>
#include <QString>

#include <chrono>
#include <optional>

namespace base {
class Progress;
}

namespace extract {

// How many passes of waiting go by before progress says "Please wait..".
inline constexpr int waitingTextAfterPasses = 50;

// What progress shows while a tool is waited for: nothing new for the first 50 passes (five
// seconds); then the caption followed by "Please wait.. N", N counting the passes since;
// and every further 150 passes the value moves a little within the file's share.
class WaitingProgress {
public:
    // startValue and count are the value when the wait began and the number of files of the
    // run.
    WaitingProgress(base::Progress& progress, const QString& caption, int startValue, int count,
                    std::chrono::milliseconds pass);

    // Shows every pass that has gone by since the last call.
    void update();
    // Takes time that was not spent waiting for the tool (a question to the user) out of
    // the passes counted.
    void leaveOut(qint64 milliseconds);
    // Puts the caption back ("Progress Bar" for none), as at the end of every wait.
    void restoreCaption();

private:
    base::Progress& progress;
    QString caption;
    int startValue;
    int count;
    qint64 passMs;
    QElapsedTimer waiting;
    qint64 leftOutMs = 0;
    int passesShown = 0;
};

// The progress text while a tool is slow, after `passes` waits.
QString waitingText(const QString& caption, int passes);

// The progress value after `passes` waits, when it moves then.
std::optional<int> nudgedValue(int passes, int startValue, int count);

// Rounds to the nearest whole number, halves to the even neighbour.
int roundHalfToEven(double value);

} // namespace extract
