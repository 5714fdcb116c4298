#include "app/BusyState.h"

#include <QCursor>
#include <QWidget>

namespace app {

namespace {
constexpr char depthProperty[] = "parvilonBusyDepth";

int depth(const QWidget* window) {
    return window->property(depthProperty).toInt();
}
} // namespace

bool isBusy(const QWidget* window) {
    return window->cursor().shape() == Qt::WaitCursor;
}

void showHourglass(QWidget* window) {
    window->setCursor(Qt::WaitCursor);
}

BusyScope::BusyScope(QWidget* window) : window(window) {
    window->setProperty(depthProperty, depth(window) + 1);
    showHourglass(window);
}

BusyScope::~BusyScope() {
    const int remaining = depth(window) - 1;
    window->setProperty(depthProperty, remaining);
    if (remaining <= 0)
        window->setCursor(Qt::ArrowCursor);
}

} // namespace app
