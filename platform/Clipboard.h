#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The system clipboard. Each call reports whether the clipboard took it.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual bool clear() = 0;
    // Text as UTF-8: a large table's text is held once, in its smallest form, and handed
    // to pasting programs as it is.
    virtual bool setText(const QByteArray& utf8) = 0;
};

// The desktop's clipboard.
class DesktopClipboard final : public Clipboard {
public:
    bool clear() override;
    bool setText(const QByteArray& utf8) override;
};

} // namespace platform
