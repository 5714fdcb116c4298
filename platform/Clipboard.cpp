#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {

namespace {

class DesktopClipboard final : public Clipboard {
public:
    bool clear() override {
        QClipboard* board = QGuiApplication::clipboard();
        if (!board)
            return false;
        board->clear();
        return true;
    }
    bool setText(const QByteArray& utf8) override {
        QClipboard* board = QGuiApplication::clipboard();
        if (!board)
            return false;
        auto* data = new QMimeData;
        data->setData(QStringLiteral("text/plain"), utf8);
        data->setData(QStringLiteral("text/plain;charset=utf-8"), utf8);
        board->setMimeData(data);
        return true;
    }
};

Clipboard* installed = nullptr;

} // namespace

Clipboard& clipboard() {
    if (installed)
        return *installed;
    static DesktopClipboard desktop;
    return desktop;
}

void installClipboard(Clipboard* clipboard) {
    installed = clipboard;
}

} // namespace platform
