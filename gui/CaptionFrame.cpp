#include "gui/CaptionFrame.h"

#include <QPainter>
#include <QStyle>

namespace gui {

CaptionFrame::CaptionFrame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void CaptionFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int captionLeft = 8;
    // The caption at the start of the top border: on the right when mirrored.
    const QRect caption = QStyle::visualRect(
        layoutDirection(), rect(),
        QRect(captionLeft, 0, metrics.horizontalAdvance(title()) + 6, metrics.height()));
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, metrics.height() / 2, -1, -1));
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, title());
}

} // namespace gui
