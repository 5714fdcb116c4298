#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

// Measures how long the window goes without the event loop turning, and without a repaint of
// a watched widget, while a long operation runs. A zero timer fires at every turn of the
// loop and asks for a repaint each time, so a repaint is always due.
class EventLoopWatch : public QObject {
public:
    explicit EventLoopWatch(QWidget* painted);

    void start();
    void stop();

    qint64 longestTurnGapMs() const { return longestTurnGap; }
    qint64 longestPaintGapMs() const { return longestPaintGap; }
    int turns() const { return turnCount; }
    int paints() const { return paintCount; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void turned();

    QWidget* painted;
    QTimer ticker;
    QElapsedTimer clock;
    qint64 lastTurn = 0, lastPaint = 0;
    qint64 longestTurnGap = 0, longestPaintGap = 0;
    int turnCount = 0, paintCount = 0;
};
