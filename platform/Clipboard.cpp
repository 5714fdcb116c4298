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
    QClipboard* board = QGuiApplication::clipboard();
    if (!board)
        return false;
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), utf8);
    data->setData(QStringLiteral("text/plain;charset=utf-8"), utf8);
    board->setMimeData(data);
    return true;
}

} // namespace platform
