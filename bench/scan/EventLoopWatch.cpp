#include "EventLoopWatch.h"

#include <QEvent>
#include <QWidget>

EventLoopWatch::EventLoopWatch(QWidget* paintedWidget) : painted(paintedWidget) {
    ticker.setInterval(0);
    connect(&ticker, &QTimer::timeout, this, [this] { turned(); });
    painted->installEventFilter(this);
}

void EventLoopWatch::start() {
    clock.start();
    lastTurn = lastPaint = 0;
    longestTurnGap = longestPaintGap = 0;
    turnCount = paintCount = 0;
    ticker.start();
}

void EventLoopWatch::stop() {
    ticker.stop();
    const qint64 now = clock.elapsed();
    longestTurnGap = std::max(longestTurnGap, now - lastTurn);
    longestPaintGap = std::max(longestPaintGap, now - lastPaint);
}

void EventLoopWatch::turned() {
    const qint64 now = clock.elapsed();
    longestTurnGap = std::max(longestTurnGap, now - lastTurn);
    lastTurn = now;
    ++turnCount;
    painted->update();
}

bool EventLoopWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == painted && event->type() == QEvent::Paint && ticker.isActive()) {
        const qint64 now = clock.elapsed();
        longestPaintGap = std::max(longestPaintGap, now - lastPaint);
        lastPaint = now;
        ++paintCount;
    }
    return false;
}
