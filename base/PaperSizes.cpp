#include "base/PaperSizes.h"

#include <QList>

#include <cmath>
#include <utility>

namespace base {

namespace {

// Documents written by different programs round the metric sizes differently (A4 is
// 595.28 x 841.89 points, often written 595 x 842).
constexpr double tolerance = 2.0;
constexpr double pointsPerMillimetre = 72.0 / 25.4;

struct Paper {
    const char* name;
    double width;  // points, the shorter side
    double height; // points
};

Paper metric(const char* name, double widthMm, double heightMm) {
    return {name, widthMm * pointsPerMillimetre, heightMm * pointsPerMillimetre};
}

Paper inches(const char* name, double widthIn, double heightIn) {
    return {name, widthIn * 72.0, heightIn * 72.0};
}

const QList<Paper>& papers() {
    static const QList<Paper> table = {
        metric("A0", 841, 1189),       metric("A1", 594, 841),
        metric("A2", 420, 594),        metric("A3", 297, 420),
        metric("A4", 210, 297),        metric("A5", 148, 210),
        metric("A6", 105, 148),        metric("A7", 74, 105),
        metric("A8", 52, 74),          metric("A9", 37, 52),
        metric("A10", 26, 37),         metric("B0", 1000, 1414),
        metric("B1", 707, 1000),       metric("B2", 500, 707),
        metric("B3", 353, 500),        metric("B4", 250, 353),
        metric("B5", 176, 250),        metric("B6", 125, 176),
        metric("B7", 88, 125),         metric("B8", 62, 88),
        metric("B9", 44, 62),          metric("B10", 31, 44),
        inches("Letter", 8.5, 11),     inches("Legal", 8.5, 14),
        inches("Tabloid", 11, 17),     inches("Executive", 7.25, 10.5),
        inches("Statement", 5.5, 8.5),
    };
    return table;
}

} // namespace

QString paperName(double width, double height) {
    if (width > height)
        std::swap(width, height);
    for (const Paper& paper : papers())
        if (std::abs(width - paper.width) <= tolerance &&
            std::abs(height - paper.height) <= tolerance)
            return QString::fromLatin1(paper.name);
    return {};
}

} // namespace base
