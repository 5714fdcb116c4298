#include "gui/TextProgressBar.h"

#include <algorithm>

namespace gui {

TextProgressBar::TextProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, 100);
    setValue(0);
    setTextVisible(true);
    setAlignment(Qt::AlignCenter);
}

QString TextProgressBar::text() const {
    return shown;
}

void TextProgressBar::setText(const QString& text) {
    if (text == shown)
        return;
    shown = text;
    // Screen readers read the bar by its name: the text it shows.
    setAccessibleName(shown);
    update();
    emit textChanged(shown);
}

void TextProgressBar::setRawValue(int value) {
    raw = value;
    // QProgressBar repaints at once on every visible change of its value; a long operation
    // that sets it per file would pay a whole repaint each time. With updates held off for
    // the change, it is painted with everything else at the next turn of the event loop.
    const bool updating = updatesEnabled();
    setUpdatesEnabled(false);
    setValue(std::clamp(value, minimum(), maximum()));
    setUpdatesEnabled(updating);
    update();
}

} // namespace gui
