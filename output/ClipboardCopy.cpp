#include "output/ClipboardCopy.h"

#include "platform/Clipboard.h"

namespace output {

namespace {

// Makes a clipboard call until it takes or it has been tried often enough; only a refusal
// at every try counts.
template <typename Call> bool withRetry(Call call) {
    for (int attempt = 0; attempt < clipboardAttempts; ++attempt)
        if (call())
            return true;
    return false;
}

} // namespace

bool anyTicked(const base::ResultsSnapshot& results) {
    for (int row = 0; row < results.rowCount(); ++row)
        if (results.isTicked(row))
            return true;
    return false;
}

bool putOnClipboard(platform::Clipboard& clipboard, const QByteArray& utf8) {
    withRetry([&] { return clipboard.clear(); });
    return withRetry([&] { return clipboard.setText(utf8); });
}

bool putOnClipboard(platform::Clipboard& clipboard, const QByteArray& utf8, const QString& html) {
    withRetry([&] { return clipboard.clear(); });
    return withRetry([&] { return clipboard.setTextAndHtml(utf8, html); });
}

} // namespace output
