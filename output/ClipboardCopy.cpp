#include "output/ClipboardCopy.h"

#include "base/ErrorReport.h"
#include "base/ResultsModel.h"
#include "output/AlignedText.h"
#include "platform/Clipboard.h"
#include "platform/Prompts.h"

namespace output {

namespace {
constexpr int attempts = 1000;

// Makes a clipboard call until it takes or it has been tried `attempts` times. A clipboard
// owned by another program refuses for a while; only a refusal at every try counts.
template <typename Call> bool withRetry(Call call) {
    for (int attempt = 0; attempt < attempts; ++attempt)
        if (call())
            return true;
    return false;
}

bool anyTicked(const base::ResultsSnapshot& results) {
    for (int row = 0; row < results.rowCount(); ++row)
        if (results.isTicked(row))
            return true;
    return false;
}
} // namespace

void clearClipboardWithRetry() {
    withRetry([] { return platform::clipboard().clear(); });
}

bool setClipboardTextWithRetry(const QByteArray& utf8) {
    return withRetry([&] { return platform::clipboard().setText(utf8); });
}

bool copyToClipboard(const base::ResultsSnapshot& results) {
    if (results.rowCount() == 0)
        return true;
    const QByteArray text = clipboardText(results);
    clearClipboardWithRetry();
    return setClipboardTextWithRetry(text);
}

void copyResultsToClipboard(const base::ResultsModel& results, const base::ErrorReport& errors) {
    const base::ResultsSnapshot shown = results.snapshot();
    if (!anyTicked(shown)) {
        // Nothing would be copied: the clipboard keeps what it holds, and the user is told.
        errors.step(
            [] { platform::prompts().message(QStringLiteral("There are no results to copy.")); });
        return;
    }
    bool copied = true;
    errors.step([&] {
        copied = copyToClipboard(shown);
        if (!copied)
            throw base::RunTimeError(
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
