#include "output/ClipboardCopy.h"

#include "app/ErrorReport.h"
#include "app/Form1.h"
#include "output/AlignedText.h"
#include "platform/Clipboard.h"
#include "platform/Prompts.h"

namespace output {

namespace {
constexpr int attempts = 1000;

// Makes a clipboard call until it succeeds or has been tried `attempts` times.
template <typename Call> bool withRetry(Call call) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        try {
            if (call())
                return true;
        } catch (...) {
        }
    }
    return false;
}
} // namespace

void ClearClipboardWithRetry() {
    withRetry([] { return platform::clipboard().clear(); });
}

bool SetClipboardTextWithRetry(const QByteArray& utf8) {
    return withRetry([&] { return platform::clipboard().setText(utf8); });
}

void CopyListviewToClipboard(const ResultsSource& results) {
    if (results.rowCount() == 0)
        return;
    const QByteArray text = clipboardText(results);
    ClearClipboardWithRetry();
    SetClipboardTextWithRetry(text);
}

void PushButton2_Click(app::Form1& window) {
    const app::ErrorReport errors(QStringLiteral("Form1.PushButton2_Click"));
    errors.step([&] { CopyListviewToClipboard(readResults(window.ListView2)); });
    errors.step([] {
        platform::prompts().message(
            QStringLiteral("Results have been copied to the clipboard.\r\rClick a text area where "
                           "you normally type and press Ctrl+V to paste the clipboard."));
    });
}

} // namespace output
