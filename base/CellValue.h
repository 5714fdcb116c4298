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

// The value of one results cell: nothing, a text, a whole number, or a date and time.
class CellValue {
public:
    CellValue() = default;
    // An empty text is no value.
    CellValue(QString text) : value(fromText(std::move(text))) {} // NOLINT: converts implicitly
    CellValue(const char* text) : CellValue(QString::fromUtf8(text)) {} // NOLINT: as above
    // Made in place: GCC 12 takes a variant moved in whole for one read uninitialized.
    static CellValue integer(qint64 number) {
        CellValue cell;
        cell.value.emplace<qint64>(number);
        return cell;
    }
    static CellValue dateTime(const DateTimeValue& moment) {
        CellValue cell;
        cell.value.emplace<DateTimeValue>(moment);
        return cell;
    }

    bool isEmpty() const { return std::holds_alternative<std::monostate>(value); }
    bool isText() const { return std::holds_alternative<QString>(value); }
    bool isInteger() const { return std::holds_alternative<qint64>(value); }
    bool isDateTime() const { return std::holds_alternative<DateTimeValue>(value); }
    // The text of a text cell; empty otherwise.
    QString text() const;
    qint64 integerValue() const { return isInteger() ? std::get<qint64>(value) : 0; }
    DateTimeValue dateTimeValue() const {
        return isDateTime() ? std::get<DateTimeValue>(value) : DateTimeValue{};
    }

    bool operator==(const CellValue&) const = default;

private:
    using Content = std::variant<std::monostate, QString, qint64, DateTimeValue>;
    static Content fromText(QString text) {
        if (text.isEmpty())
            return std::monostate{};
        return text;
    }
    Content value;
};

} // namespace base
