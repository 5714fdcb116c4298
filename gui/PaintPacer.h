#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace gui {

class ListView;

// Holds back the painting of a widget that changes many times a second during a long
// operation (a table growing by a row per file) and paints it a few times a second instead,
// so the operation does not pay a whole repaint per change. A list is laid out at the same
// pace. The widget paints normally again when the pacer goes.
class PaintPacer {
public:
    explicit PaintPacer(QWidget* widget, int intervalMs = 250);
    ~PaintPacer();
    PaintPacer(const PaintPacer&) = delete;
    PaintPacer& operator=(const PaintPacer&) = delete;

private:
    void paintNow();

    QPointer<QWidget> widget;
    QPointer<ListView> list; // the widget, when it is a list
    QTimer timer;
};

} // namespace gui
