#pragma once

#include <QString>

namespace platform {

#include <QByteArray>

// The system clipboard, plain text. Each call reports whether the clipboard took it.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual bool clear() = 0;
    // Text as UTF-8: a large table's text is held once, in its smallest form, and handed
    // to pasting programs as it is.
    virtual bool setText(const QByteArray& utf8) = 0;
};

// The clipboard in force: the installed one, or the desktop's.
Clipboard& clipboard();
// Installs a clipboard for the whole program (not owned); nullptr goes back to the desktop's.
void installClipboard(Clipboard* clipboard);

} // namespace platform
