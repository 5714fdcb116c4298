#include "gui/WindowColours.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include <cmath>

namespace gui {

namespace {

bool isPlainControl(const QWidget* widget) {
    return qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget) ||
           qobject_cast<const QGroupBox*>(widget) || qobject_cast<const QLabel*>(widget);
}

void paintBackground(QWidget* widget, const QColor& colour, const QColor& text) {
    QPalette palette = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, colour);
        palette.setColor(group, QPalette::WindowText, text);
    }
    palette.setColor(QPalette::Disabled, QPalette::Window, colour);
    widget->setPalette(palette);
    // A check box fills its background with the button colour, which belongs to the push
    // buttons: plain controls are filled with the window colour instead.
    widget->setBackgroundRole(QPalette::Window);
    widget->setAutoFillBackground(true);
}

double channel(double value) {
    const double c = value;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

} // namespace

bool skinFileIsPresent(const QString& programFolder) {
    // A normal file only: a folder of that name, or a hidden file, is no skin.
    const QFileInfo skin(programFolder + QStringLiteral("/x/o.cjs"));
    return skin.isFile() && !skin.isHidden();
}

double contrastRatio(const QColor& first, const QColor& second) {
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readableTextColour(const QColor& background, const QColor& preferred) {
    if (contrastRatio(background, preferred) >= 4.5)
        return preferred;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(background, black) >= contrastRatio(background, white) ? black : white;
}

void applyWindowColours(QWidget* window) {
    const QPalette desktop = QApplication::palette();
    const QColor buttonFace = desktop.color(QPalette::Button);
    const QColor text = readableTextColour(buttonFace, desktop.color(QPalette::ButtonText));
    paintBackground(window, buttonFace, text);
    for (QWidget* child : window->findChildren<QWidget*>())
        if (isPlainControl(child))
            paintBackground(child, buttonFace, text);
}

} // namespace gui
