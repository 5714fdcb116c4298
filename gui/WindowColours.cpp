#include "gui/WindowColours.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace gui {

namespace {

bool isPlainControl(const QWidget* widget) {
    return qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget) ||
           qobject_cast<const QGroupBox*>(widget) || qobject_cast<const QLabel*>(widget);
}

void paintBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    // A check box fills its background with the button colour, which stays white for the
    // push buttons' sake: plain controls are filled with the window colour instead.
    widget->setBackgroundRole(QPalette::Window);
    widget->setAutoFillBackground(true);
}

} // namespace

bool skinFileIsPresent(const QString& programFolder) {
    // A normal file only: a folder of that name, or a hidden file, is no skin.
    const QFileInfo skin(programFolder + QStringLiteral("/x/o.cjs"));
    return skin.isFile() && !skin.isHidden();
}

void applyWindowColours(QWidget* window) {
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    paintBackground(window, buttonFace);
    for (QWidget* child : window->findChildren<QWidget*>())
        if (isPlainControl(child))
            paintBackground(child, buttonFace);
}

} // namespace gui
