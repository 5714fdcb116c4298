#include "platform/PaintPacer.h"

namespace platform {

PaintPacer::PaintPacer(QWidget* paced, int intervalMs) : widget(paced) {
    paced->setUpdatesEnabled(false);
    QObject::connect(&timer, &QTimer::timeout, [this] { paintNow(); });
    timer.start(intervalMs);
}

PaintPacer::~PaintPacer() {
    timer.stop();
    if (widget)
        widget->setUpdatesEnabled(true);
}

void PaintPacer::paintNow() {
    if (!widget)
        return;
    widget->setUpdatesEnabled(true);
    widget->repaint();
    widget->setUpdatesEnabled(false);
}

} // namespace platform
