// Sorting the results table by a column: page counts and dates by value, the rest by text.
#include "base/CellValues.h"
#include "base/ResultsModel.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <numeric>
#include <optional>

namespace base {

namespace {

// What a row is sorted by: a number (a page count, or a date as seconds from year 0) or a
// text. Rows without a value come last in either order.
struct SortKey {
    std::optional<double> number;
    QString text;
};

SortKey keyOf(const CellValueReader& reader, const QString& header, const QString& text) {
    const CellValue value = reader.read(header, text);
    switch (value.kind) {
    case CellValue::Kind::Number:
        return {value.number, {}};
    case CellValue::Kind::DateTime: {
        const double day = static_cast<double>(value.date.toJulianDay());
        const double seconds =
            value.time.isValid() ? value.time.msecsSinceStartOfDay() / 1000.0 : 0;
        return {day * 86400 + seconds, {}};
    }
    case CellValue::Kind::Text:
        break;
    }
    return {std::nullopt, text};
}

bool isBlank(const SortKey& key) {
    return !key.number && key.text.isEmpty();
}

// Strictly before, in ascending order: numbers before texts, numbers by value, texts by
// letters ignoring case, then exactly.
bool before(const SortKey& a, const SortKey& b) {
    if (a.number && b.number)
        return *a.number < *b.number;
    if (a.number != std::nullopt || b.number != std::nullopt)
        return a.number.has_value();
    const int caseless = a.text.compare(b.text, Qt::CaseInsensitive);
    return caseless != 0 ? caseless < 0 : a.text < b.text;
}

} // namespace

void ResultsModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columns.size() || rows.size() < 2)
        return;
    // Each key is read once, not once per comparison: a date is worth reading only once.
    // The table writes dates in the user's locale, which QLocale() is unless a test says
    // otherwise.
    const CellValueReader reader{QLocale()};
    QList<SortKey> keys;
    keys.reserve(rows.size());
    for (const ResultRowData& row : std::as_const(rows))
        keys.append(keyOf(reader, columns[column], row.texts.cell(column)));
    QList<int> permutation(rows.size());
    std::iota(permutation.begin(), permutation.end(), 0);
    std::stable_sort(permutation.begin(), permutation.end(), [&](int a, int b) {
        const bool blankA = isBlank(keys[a]);
        const bool blankB = isBlank(keys[b]);
        if (blankA || blankB)
            return !blankA && blankB;
        return order == Qt::AscendingOrder ? before(keys[a], keys[b]) : before(keys[b], keys[a]);
    });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<ResultRowData> sorted;
    sorted.reserve(rows.size());
    QList<int> newPlace(rows.size());
    for (qsizetype place = 0; place < permutation.size(); ++place) {
        sorted.append(rows[permutation[place]]);
        newPlace[permutation[place]] = static_cast<int>(place);
    }
    rows = std::move(sorted);
    const QModelIndexList held = persistentIndexList();
    QModelIndexList moved;
    moved.reserve(held.size());
    for (const QModelIndex& index : held)
        moved.append(this->index(newPlace[index.row()], index.column()));
    changePersistentIndexList(held, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace base
