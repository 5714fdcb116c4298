// Sorting the results table by a column: numbers, dates and the other typed values by value,
// the rest by text.
#include "base/ResultsModel.h"

#include <algorithm>
#include <numeric>
#include <optional>

namespace base {

namespace {

// What a row is sorted by: a number, or a text. Rows without a value come last in either
// order. Numbers are whole numbers and file sizes by value, dates as milliseconds on their
// clock from the start of the calendar, No before Yes, page sizes by area (a document whose
// pages differ after every one whose pages agree), encryptions from none to the strongest
// (each without a password to open before with one), and forms from none to XFA.
struct SortKey {
    std::optional<double> number;
    QString text;
    int rank = 0; // before the number: values of a higher rank come after all of a lower one
};

SortKey keyOf(const CellValue& value) {
    if (value.isInteger())
        return {static_cast<double>(value.integerValue()), {}};
    if (value.isByteCount())
        return {static_cast<double>(value.byteCountValue()), {}};
    if (value.isDateTime()) {
        const DateTimeValue moment = value.dateTimeValue();
        const double day = static_cast<double>(moment.date.toJulianDay());
        const double msecs = moment.time.isValid() ? moment.time.msecsSinceStartOfDay() : 0;
        return {day * 86400000.0 + msecs, {}};
    }
    if (value.isBoolean())
        return {value.booleanValue() ? 1.0 : 0.0, {}};
    if (value.isPageSize()) {
        const PageSizeValue size = value.pageSizeValue();
        return {size.width * size.height, {}, size.varies ? 1 : 0};
    }
    if (value.isEncryption()) {
        const EncryptionValue encryption = value.encryptionValue();
        return {static_cast<double>(encryption.method) * 2 + (encryption.passwordToOpen ? 1 : 0),
                {}};
    }
    if (value.isForm())
        return {static_cast<double>(value.formValue()), {}};
    return {std::nullopt, value.text()};
}

bool isBlank(const SortKey& key) {
    return !key.number && key.text.isEmpty();
}

// Strictly before, in ascending order: numbers before texts, numbers by value, texts by
// letters ignoring case, then exactly.
bool before(const SortKey& a, const SortKey& b) {
    if (a.number && b.number)
        return a.rank != b.rank ? a.rank < b.rank : *a.number < *b.number;
    if (a.number != std::nullopt || b.number != std::nullopt)
        return a.number.has_value();
    const int caseless = a.text.compare(b.text, Qt::CaseInsensitive);
    return caseless != 0 ? caseless < 0 : a.text < b.text;
}

// Strictly before in the shown order: rows without a value last in either order.
bool sortsBefore(const SortKey& a, const SortKey& b, Qt::SortOrder order) {
    const bool blankA = isBlank(a);
    const bool blankB = isBlank(b);
    if (blankA || blankB)
        return !blankA && blankB;
    return order == Qt::AscendingOrder ? before(a, b) : before(b, a);
}

} // namespace

void ResultsModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount())
        return;
    // Rows that come later, or whose cell in this column is filled later, take their place
    // in this order too.
    sorting = SortState{column, order};
    if (rows.size() < 2)
        return;
    QList<SortKey> keys;
    keys.reserve(rows.size());
    for (int row = 0; row < count(); ++row)
        keys.append(keyOf(cell(row, column)));
    QList<int> permutation(rows.size());
    std::iota(permutation.begin(), permutation.end(), 0);
    std::stable_sort(permutation.begin(), permutation.end(),
                     [&](int a, int b) { return sortsBefore(keys[a], keys[b], order); });

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

int ResultsModel::sortingColumn() const {
    return sorting ? sorting->column : -1;
}

int ResultsModel::keepSorted(int row) {
    if (!sorting || rows.size() < 2)
        return row;
    const int column = sorting->column;
    const SortKey key = keyOf(cell(row, column));
    // The place among the other rows, after those it ties with, as a stable sort leaves it.
    int low = 0;
    int high = count() - 1;
    while (low < high) {
        const int middle = (low + high) / 2;
        const int other = middle < row ? middle : middle + 1;
        if (sortsBefore(key, keyOf(cell(other, column)), sorting->order))
            high = middle;
        else
            low = middle + 1;
    }
    if (low == row)
        return row;
    beginMoveRows({}, row, row, {}, low < row ? low : low + 1);
    rows.move(row, low);
    endMoveRows();
    return low;
}

} // namespace base
