#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>
#include <variant>

namespace base {

// A moment as the results show it: the date and time on the clock where it was taken, and
// that clock's offset from UTC when it is known.
struct DateTimeValue {
    // How it is shown: a document's date alone, a document's date and time (its own clock,
    // as the document wrote it), or a file's date and time (this computer's clock).
    enum class Kind { DocumentDate, DocumentDateTime, FileDateTime };

    Kind kind = Kind::DocumentDateTime;
    QDate date;
    QTime time; // null for a document's date alone
    std::optional<int> offsetSeconds;

    bool operator==(const DateTimeValue&) const = default;
};

// A file's size in bytes, shown in the locale's units ("2.4 MB").
struct ByteCount {
    qint64 bytes = 0;

    bool operator==(const ByteCount&) const = default;
};

// The size of a document's first page in points, as shown (rotation applied), and whether
// other pages have another size.
struct PageSizeValue {
    double width = 0;
    double height = 0;
    bool varies = false;

    bool operator==(const PageSizeValue&) const = default;
};

// How a document is encrypted, from none to the strongest, and whether opening it needs a
// password.
struct EncryptionValue {
    enum class Method { None, Rc4With40Bits, Rc4With128Bits, Aes128, Aes256 };

    Method method = Method::None;
    bool passwordToOpen = false;

    bool operator==(const EncryptionValue&) const = default;
};

// The kind of interactive form a document holds.
enum class FormKind { None, AcroForm, Xfa };

// The value of one results cell: nothing, a text, a whole number, a date and time, a yes or
// no, a file size, a page size, an encryption or a form's kind.
class CellValue {
public:
    CellValue() = default;
    // An empty text is no value.
    CellValue(QString text) : value(fromText(std::move(text))) {} // NOLINT: converts implicitly
    CellValue(const char* text) : CellValue(QString::fromUtf8(text)) {} // NOLINT: as above
    // Made in place: GCC 12 takes a variant moved in whole for one read uninitialized.
    static CellValue integer(qint64 number) { return made(number); }
    static CellValue dateTime(const DateTimeValue& moment) { return made(moment); }
    static CellValue boolean(bool yes) { return made(yes); }
    static CellValue byteCount(qint64 bytes) { return made(ByteCount{bytes}); }
    static CellValue pageSize(const PageSizeValue& size) { return made(size); }
    static CellValue encryption(const EncryptionValue& encryption) { return made(encryption); }
    static CellValue form(FormKind kind) { return made(kind); }

    bool isEmpty() const { return std::holds_alternative<std::monostate>(value); }
    bool isText() const { return std::holds_alternative<QString>(value); }
    bool isInteger() const { return std::holds_alternative<qint64>(value); }
    bool isDateTime() const { return std::holds_alternative<DateTimeValue>(value); }
    bool isBoolean() const { return std::holds_alternative<bool>(value); }
    bool isByteCount() const { return std::holds_alternative<ByteCount>(value); }
    bool isPageSize() const { return std::holds_alternative<PageSizeValue>(value); }
    bool isEncryption() const { return std::holds_alternative<EncryptionValue>(value); }
    bool isForm() const { return std::holds_alternative<FormKind>(value); }
    // The text of a text cell; empty otherwise.
    QString text() const;
    // Each of these gives its kind's value, and a default one for a cell of another kind.
    qint64 integerValue() const { return valueOr<qint64>(0); }
    DateTimeValue dateTimeValue() const { return valueOr<DateTimeValue>({}); }
    bool booleanValue() const { return valueOr<bool>(false); }
    qint64 byteCountValue() const { return valueOr<ByteCount>({}).bytes; }
    PageSizeValue pageSizeValue() const { return valueOr<PageSizeValue>({}); }
    EncryptionValue encryptionValue() const { return valueOr<EncryptionValue>({}); }
    FormKind formValue() const { return valueOr<FormKind>(FormKind::None); }

    bool operator==(const CellValue&) const = default;

private:
    using Content = std::variant<std::monostate, QString, qint64, DateTimeValue, bool, ByteCount,
                                 PageSizeValue, EncryptionValue, FormKind>;
    template <typename T> static CellValue made(const T& content) {
        CellValue cell;
        cell.value.emplace<T>(content);
        return cell;
    }
    template <typename T> T valueOr(T otherwise) const {
        const T* held = std::get_if<T>(&value);
        return held ? *held : otherwise;
    }
    static Content fromText(QString text) {
        if (text.isEmpty())
            return std::monostate{};
        return text;
    }
    Content value;
};

} // namespace base
