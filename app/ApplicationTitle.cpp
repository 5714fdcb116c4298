#include "app/ApplicationTitle.h"

namespace app {

namespace {
constexpr int longestTitle = 40;

// The text before its last blank, or nothing when it has no blank.
QString withoutLastWord(const QString& text) {
    const qsizetype blank = text.lastIndexOf(QLatin1Char(' '));
    return blank < 0 ? QString() : text.left(blank);
}
} // namespace

QString makeApplicationTitle(const QString& productName) {
    QString title = withoutLastWord(productName);
    if (title.isEmpty())
        return productName.left(longestTitle);
    while (title.size() > longestTitle) {
        const QString shorter = withoutLastWord(title);
        if (shorter.isEmpty())
            return title.left(longestTitle);
        title = shorter;
    }
    return title;
}

} // namespace app
