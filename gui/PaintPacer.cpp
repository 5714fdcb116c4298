#include "gui/PaintPacer.h"

#include "gui/ListView.h"

namespace gui {

PaintPacer::PaintPacer(QWidget* paced, int intervalMs)
    : widget(paced), list(dynamic_cast<ListView*>(paced)) {
    paced->setUpdatesEnabled(false);
    if (list)
        list->holdLayouts(true);
    QObject::connect(&timer, &QTimer::timeout, [this] { paintNow(); });
    timer.start(intervalMs);
}

PaintPacer::~PaintPacer() {
    timer.stop();
    if (list)
        list->holdLayouts(false);
    if (widget)
        widget->setUpdatesEnabled(true);
}

void PaintPacer::paintNow() {
    if (!widget)
        return;
    widget->setUpdatesEnabled(true);
    if (list)
        list->holdLayouts(false);
    widget->repaint();
    if (list)
        list->holdLayouts(true);
    widget->setUpdatesEnabled(false);
}

} // namespace gui
