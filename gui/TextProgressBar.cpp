#include "gui/TextProgressBar.h"

#include <QPainter>
#include <QStyleOptionProgressBar>

#include <algorithm>

namespace gui {

TextProgressBar::TextProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, 100);
    setValue(0);
    // The style draws the groove and the chunk; the text is drawn here.
    setTextVisible(false);
    setAlignment(Qt::AlignCenter);
}

void TextProgressBar::paintEvent(QPaintEvent* event) {
    QProgressBar::paintEvent(event);
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_ProgressBarContents, &option, this);
    const double share =
        static_cast<double>(value() - minimum()) / std::max(1, maximum() - minimum());
    const QRect filled =
        QStyle::visualRect(layoutDirection(), contents,
                           QRect(contents.left(), contents.top(),
                                 static_cast<int>(contents.width() * share), contents.height()));
    QPainter painter(this);
    painter.setClipRegion(QRegion(rect()).subtracted(filled));
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(contents, Qt::AlignCenter, shown);
    painter.setClipRect(filled);
    painter.setPen(palette().color(QPalette::HighlightedText));
    painter.drawText(contents, Qt::AlignCenter, shown);
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
