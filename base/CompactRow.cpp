#include "base/CompactRow.h"

#include <cstring>

namespace base {

namespace {

enum Tag : char {
    Empty = 0,
    Text = 1,
    Integer = 2,
    DateTime = 3,
    No = 4,
    Yes = 5,
    Bytes = 6,
    PageSize = 7,
    Encryption = 8,
    Form = 9,
};
constexpr qsizetype integerSize = 8;
constexpr qsizetype dateTimeSize = 17; // day (8), milliseconds (4), offset (4), flags (1)
constexpr qsizetype pageSizeSize = 17; // width (8), height (8), whether it varies (1)
constexpr qsizetype codeSize = 1;      // an encryption's method and password, or a form's kind
constexpr quint8 passwordToOpenFlag = 0x10;

template <typename T> void appendRaw(QByteArray& bytes, T value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T> T readRaw(const char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// Appends a cell: its tag and payload.
void appendEncoded(QByteArray& bytes, const CellValue& value) {
    if (value.isText()) {
        bytes.append(Text);
        QByteArray text = value.text().toUtf8();
        text.replace('\0', QByteArray());
        bytes.append(text);
        bytes.append('\0');
    } else if (value.isInteger()) {
        bytes.append(Integer);
        appendRaw(bytes, value.integerValue());
    } else if (value.isDateTime()) {
        const DateTimeValue moment = value.dateTimeValue();
        bytes.append(DateTime);
        appendRaw(bytes, moment.date.toJulianDay());
        appendRaw(bytes, static_cast<qint32>(
                             moment.time.isValid() ? moment.time.msecsSinceStartOfDay() : -1));
        appendRaw(bytes, static_cast<qint32>(moment.offsetSeconds.value_or(0)));
        appendRaw(bytes, static_cast<quint8>(static_cast<int>(moment.kind) |
                                             (moment.offsetSeconds ? 0x10 : 0)));
    } else if (value.isBoolean()) {
        bytes.append(value.booleanValue() ? Yes : No);
    } else if (value.isByteCount()) {
        bytes.append(Bytes);
        appendRaw(bytes, value.byteCountValue());
    } else if (value.isPageSize()) {
        const PageSizeValue size = value.pageSizeValue();
        bytes.append(PageSize);
        appendRaw(bytes, size.width);
        appendRaw(bytes, size.height);
        appendRaw(bytes, static_cast<quint8>(size.varies ? 1 : 0));
    } else if (value.isEncryption()) {
        const EncryptionValue encryption = value.encryptionValue();
        bytes.append(Encryption);
        appendRaw(bytes, static_cast<quint8>(static_cast<int>(encryption.method) |
                                             (encryption.passwordToOpen ? passwordToOpenFlag : 0)));
    } else if (value.isForm()) {
        bytes.append(Form);
        appendRaw(bytes, static_cast<quint8>(value.formValue()));
    } else {
        bytes.append(Empty);
    }
}

// The bytes of a value as a cell: the payloads of all but text are at most this long.
constexpr qsizetype largestFixedCell = 1 + dateTimeSize;

} // namespace

qsizetype CompactRow::endOfCell(qsizetype at) const {
    const char* const start = cells.constData();
    switch (start[at]) {
    case Text: {
        const void* end =
            std::memchr(start + at + 1, '\0', static_cast<size_t>(cells.size() - at - 1));
        return end ? static_cast<const char*>(end) - start + 1 : cells.size();
    }
    case Integer:
    case Bytes:
        return at + 1 + integerSize;
    case DateTime:
        return at + 1 + dateTimeSize;
    case PageSize:
        return at + 1 + pageSizeSize;
    case Encryption:
    case Form:
        return at + 1 + codeSize;
    default:
        return at + 1;
    }
}

std::pair<qsizetype, qsizetype> CompactRow::rangeOf(int column) const {
    qsizetype begin = 0;
    for (int skipped = 0; skipped < column; ++skipped) {
        if (begin >= cells.size())
            return {cells.size(), cells.size()};
        begin = endOfCell(begin);
    }
    if (begin >= cells.size())
        return {cells.size(), cells.size()};
    return {begin, endOfCell(begin)};
}

int CompactRow::cellCount() const {
    int count = 0;
    for (qsizetype at = 0; at < cells.size(); at = endOfCell(at))
        ++count;
    return count;
}

CellValue CompactRow::cell(int column) const {
    if (column < 0)
        return {};
    const auto [begin, end] = rangeOf(column);
    return valueAt(begin, end);
}

QByteArrayView CompactRow::textAt(qsizetype begin, qsizetype end) const {
    if (end - begin < 2 || cells[begin] != Text)
        return {};
    return QByteArrayView(cells.constData() + begin + 1, end - begin - 2);
}

CellValue CompactRow::valueAt(qsizetype begin, qsizetype end) const {
    if (begin >= end)
        return {};
    const char* const at = cells.constData() + begin;
    switch (at[0]) {
    case Text:
        return QString::fromUtf8(at + 1, end - begin - 2);
    case Integer:
        return CellValue::integer(readRaw<qint64>(at + 1));
    case DateTime: {
        DateTimeValue moment;
        moment.date = QDate::fromJulianDay(readRaw<qint64>(at + 1));
        const auto msecs = readRaw<qint32>(at + 9);
        moment.time = msecs < 0 ? QTime() : QTime::fromMSecsSinceStartOfDay(msecs);
        const auto flags = readRaw<quint8>(at + 17);
        if (flags & 0x10)
            moment.offsetSeconds = readRaw<qint32>(at + 13);
        moment.kind = static_cast<DateTimeValue::Kind>(flags & 0x0F);
        return CellValue::dateTime(moment);
    }
    case No:
    case Yes:
        return CellValue::boolean(at[0] == Yes);
    case Bytes:
        return CellValue::byteCount(readRaw<qint64>(at + 1));
    case PageSize:
        return CellValue::pageSize(
            {readRaw<double>(at + 1), readRaw<double>(at + 9), readRaw<quint8>(at + 17) != 0});
    case Encryption: {
        const auto code = readRaw<quint8>(at + 1);
        return CellValue::encryption(
            {static_cast<EncryptionValue::Method>(code & 0x0F), (code & passwordToOpenFlag) != 0});
    }
    case Form:
        return CellValue::form(static_cast<FormKind>(readRaw<quint8>(at + 1)));
    default:
        return {};
    }
}

void CompactRow::setCell(int column, const CellValue& value) {
    if (column < 0)
        return;
    const int count = cellCount();
    if (column >= count) {
        // Past the end: the cells between stay empty, and the value is appended in place.
        cells.append(column - count, Empty);
        appendEncoded(cells, value);
        return;
    }
    QByteArray encoded;
    encoded.reserve(largestFixedCell);
    appendEncoded(encoded, value);
    const auto [begin, end] = rangeOf(column);
    cells.replace(begin, end - begin, encoded);
}

CompactRow CompactRow::ofValues(const QList<CellValue>& values) {
    // Made in a buffer kept from row to row, then copied into a block of its exact size: a
    // large table holds many rows, and slack in each would add up.
    thread_local QByteArray buffer;
    buffer.resize(0); // keeps its capacity, where clear() would free it
    buffer.append(Empty);
    for (const CellValue& value : values)
        appendEncoded(buffer, value);
    CompactRow row;
    row.cells = QByteArray(buffer.constData(), buffer.size());
    return row;
}

} // namespace base
