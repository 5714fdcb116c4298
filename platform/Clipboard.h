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
    // The same text with an HTML form of it beside, which programs that paste cells (a
    // spreadsheet) take instead.
    virtual bool setTextAndHtml(const QByteArray& utf8, const QString& html) = 0;
};

// The desktop's clipboard.
class DesktopClipboard final : public Clipboard {
public:
    bool clear() override;
    bool setText(const QByteArray& utf8) override;
    bool setTextAndHtml(const QByteArray& utf8, const QString& html) override;
};

} // namespace platform
