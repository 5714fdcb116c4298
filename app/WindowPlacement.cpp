#include "app/WindowPlacement.h"

#include <algorithm>

namespace app {

QRect fitWithin(const QRect& outer, const QRect& available) {
    QRect fitted = outer;
    fitted.setWidth(std::min(outer.width(), available.width()));
    fitted.setHeight(std::min(outer.height(), available.height()));
    fitted.moveLeft(std::clamp(outer.left(), available.left(),
                               available.left() + available.width() - fitted.width()));
    fitted.moveTop(std::clamp(outer.top(), available.top(),
                              available.top() + available.height() - fitted.height()));
    return fitted;
}

QMargins expectedFrame(int titleBarHeight, int borderWidth) {
    return {borderWidth, titleBarHeight + borderWidth, borderWidth, borderWidth};
}

} // namespace app
