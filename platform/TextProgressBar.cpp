#include "platform/TextProgressBar.h"

#include <algorithm>

namespace platform {

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
    update();
}

void TextProgressBar::setRawValue(int value) {
    raw = value;
    setValue(std::clamp(value, minimum(), maximum()));
}

} // namespace platform
