#include "filelist/PathCleanup.h"

namespace filelist {

namespace {
const QString doubled = QStringLiteral("//");
const QString single = QStringLiteral("/");
} // namespace

QString collapseDoubledSeparators(const QString& path) {
    if (!path.startsWith(QLatin1Char('/')))
        return QString(path).replace(doubled, single);
    qsizetype rest = 0;
    while (rest < path.size() && path[rest] == QLatin1Char('/'))
        ++rest;
    return single + path.mid(rest).replace(doubled, single);
}

} // namespace filelist
