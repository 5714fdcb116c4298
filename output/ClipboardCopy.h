#pragma once

#include "base/ResultsSnapshot.h"

#include <QByteArray>

namespace platform {
class Clipboard;
}

namespace output {

// What "Copy Results To Clipboard" says.
inline const QString resultsCopied =
    QStringLiteral("Results have been copied to the clipboard.\r\rClick a text area where you "
                   "normally type and press Ctrl+V to paste the clipboard.");
inline const QString nothingToCopy = QStringLiteral("There are no results to copy.");

// How many times a clipboard that refuses is asked before the copy gives up.
inline constexpr int clipboardAttempts = 1000;

// Whether any row is ticked: without one there is nothing to copy.
bool anyTicked(const base::ResultsSnapshot& results);

// Empties the clipboard, then puts the UTF-8 text on it, asking again up to 1000 times while
// it refuses (a clipboard owned by another program refuses for a while). True when it took
// the text.
bool putOnClipboard(platform::Clipboard& clipboard, const QByteArray& utf8);
// The same with an HTML form of the text beside it.
bool putOnClipboard(platform::Clipboard& clipboard, const QByteArray& utf8, const QString& html);

} // namespace output
