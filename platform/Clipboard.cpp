#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {

bool DesktopClipboard::clear() {
    QClipboard* board = QGuiApplication::clipboard();
    if (!board)
        return false;
    board->clear();
    return true;
}

bool DesktopClipboard::setText(const QByteArray& utf8) {
    return setTextAndHtml(utf8, {});
}

bool DesktopClipboard::setTextAndHtml(const QByteArray& utf8, const QString& html) {
    QClipboard* board = QGuiApplication::clipboard();
    if (!board)
        return false;
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), utf8);
    data->setData(QStringLiteral("text/plain;charset=utf-8"), utf8);
    if (!html.isEmpty())
        data->setData(QStringLiteral("text/html"), html.toUtf8());
    board->setMimeData(data);
    return true;
}

} // namespace platform
