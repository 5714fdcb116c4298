#include "base/CompactRow.h"

#include <cstring>

namespace base {

std::pair<qsizetype, qsizetype> CompactRow::rangeOf(int column) const {
    const char* const start = cells.constData();
    const qsizetype size = cells.size();
    qsizetype begin = 0;
    for (int skipped = 0; skipped < column; ++skipped) {
        const void* end = std::memchr(start + begin, '\0', static_cast<size_t>(size - begin));
        if (!end)
            return {size, size};
        begin = static_cast<const char*>(end) - start + 1;
    }
    const void* end = std::memchr(start + begin, '\0', static_cast<size_t>(size - begin));
    return {begin, end ? static_cast<const char*>(end) - start : size};
}

QString CompactRow::cell(int column) const {
    if (column < 0)
        return {};
    const auto [begin, end] = rangeOf(column);
    return QString::fromUtf8(cells.constData() + begin, end - begin);
}

int CompactRow::cellCount() const {
    return static_cast<int>(cells.count('\0'));
}

void CompactRow::setCell(int column, const QString& text) {
    if (column < 0)
        return;
    QByteArray encoded = text.toUtf8();
    encoded.replace('\0', QByteArray());
    for (int missing = cellCount(); missing <= column; ++missing)
        cells.append('\0');
    const auto [begin, end] = rangeOf(column);
    cells.replace(begin, end - begin, encoded);
}

} // namespace base
