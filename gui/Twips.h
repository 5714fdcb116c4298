#pragma once

#include <QRect>
#include <QtMath>

namespace gui {

// Windows are designed in twips: 1440 make a logical inch, 15 twips to the pixel at 96
// dots per inch.
inline int twips(int value) {
    return qRound(value / 15.0);
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {twips(left), twips(top), twips(width), twips(height)};
}

} // namespace gui
