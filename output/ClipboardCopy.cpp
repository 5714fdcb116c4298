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

bool CopyListviewToClipboard(const ResultsSource& results) {
    if (results.rowCount() == 0)
        return true;
    const QByteArray text = clipboardText(results);
    ClearClipboardWithRetry();
    return SetClipboardTextWithRetry(text);
}

void PushButton2_Click(app::Form1& window) {
    const app::ErrorReport errors(QStringLiteral("Form1.PushButton2_Click"));
    bool copied = true;
    errors.step([&] {
        copied = CopyListviewToClipboard(readResults(window.ListView2));
        if (!copied)
            throw app::RunTimeError(
                QStringLiteral("The clipboard could not be set: it refused the results %1 times.")
                    .arg(attempts));
    });
    if (!copied)
        return; // saying they were copied would be untrue
    errors.step([] {
        platform::prompts().message(
            QStringLiteral("Results have been copied to the clipboard.\r\rClick a text area where "
                           "you normally type and press Ctrl+V to paste the clipboard."));
    });
}

} // namespace output
