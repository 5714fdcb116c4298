#pragma once

#include <QElapsedTimer>
#include <QString>

#include <chrono>

namespace base {
class Progress;
}

namespace extract {

// What progress shows while a tool is waited for: nothing new for the first 50 passes (five
// seconds); then the caption followed by "Please wait.. N", N counting the passes since;
// and every further 150 passes the value moves a little within the file's share.
class WaitingProgress {
public:
    // progress may be null: then nothing is shown. startValue and count are the value when
    // the wait began and the number of files of the run.
    WaitingProgress(base::Progress* progress, const QString& caption, int startValue, int count,
                    std::chrono::milliseconds pass);

    // Shows every pass that has gone by since the last call.
    void update();
    // Takes time that was not spent waiting for the tool (a question to the user) out of
    // the passes counted.
    void leaveOut(qint64 milliseconds);
    // Puts the caption back ("Progress Bar" for none), as at the end of every wait.
    void restoreCaption();

private:
    base::Progress* progress;
    QString caption;
    int startValue;
    int count;
    qint64 passMs;
    QElapsedTimer waiting;
    qint64 leftOutMs = 0;
    int passesShown = 0;
};

} // namespace extract
