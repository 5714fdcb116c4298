// Fuzz target over every parser of the program, fed arbitrary bytes: the reading of the
// tool's dump (with its character references, PDF dates and audit lines), PDF dates alone, the
// version from a file's first line, the numbers of stored settings and the stored sample list.
// Besides not crashing or hanging, each must keep its promises: a value read belongs to a
// property asked for and has that property's kind, shows as one line, is kept as it is by a
// results row and goes into JSON that reads back as one object on one line; a version is one
// line; the sample list round-trips; a number read is finite.

#include "base/CellText.h"
#include "base/CompactRow.h"
#include "base/NumberText.h"
#include "base/Properties.h"
#include "extract/PdfDate.h"
#include "extract/PdfVersion.h"
#include "extract/ToolOutput.h"
#include "filelist/SnapshotText.h"
#include "output/JsonValues.h"

#include <QJsonDocument>
#include <QLocale>
#include <QStringList>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

bool isOneLine(const QString& text) {
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
           !text.contains(QChar(0));
}

void check(bool condition) {
    if (!condition)
        std::abort();
}

// The value shows as one line in both locales, and a results row gives it back unchanged.
void checkValue(const base::CellValue& value) {
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    static const QLocale german(QLocale::German, QLocale::Germany);
    check(isOneLine(base::cellText(value, english)) && isOneLine(base::cellText(value, german)));
    base::CompactRow row;
    row.setCell(2, value);
    row.setCell(1, QStringLiteral("neighbour"));
    row.setCell(3, base::CellValue::integer(-1));
    check(row.cell(2) == value);
}

// A property's values are of its kind or the tool's text: counts whole numbers, dates a
// document's dates, answers yes or no, page sizes, encryptions and forms their own kinds,
// everything else text (or nothing, for an empty value).
bool isOfItsKind(const extract::PropertyValue& read) {
    using base::Property;
    const base::CellValue& value = read.value;
    const Property property = read.property;
    if (value.isDateTime())
        return (property == Property::Modified || property == Property::Created) &&
               value.dateTimeValue().kind != base::DateTimeValue::Kind::FileDateTime;
    if (value.isInteger())
        return property == Property::Pages || property == Property::Attachments ||
               property == Property::Signatures;
    if (value.isBoolean())
        return property == Property::Tagged || property == Property::Linearized ||
               property == Property::JavaScript;
    if (value.isPageSize())
        return property == Property::PageSize;
    if (value.isEncryption())
        return property == Property::Encryption;
    if (value.isForm())
        return property == Property::Form;
    return value.isText() || value.isEmpty();
}

// A row of the values read goes into JSON that reads back as one object, on one line.
void checkJson(const QList<extract::PropertyValue>& values) {
    base::ResultRowData row;
    row.path = QStringLiteral("/a.pdf");
    base::Columns columns;
    for (const extract::PropertyValue& read : values) {
        columns.append(read.property);
        row.cells.setCell(static_cast<int>(columns.size()), read.value);
    }
    const QByteArray json = output::jsonText(columns, row);
    check(!json.contains('\n'));
    QJsonParseError error{};
    check(QJsonDocument::fromJson(json, &error).isObject() &&
          error.error == QJsonParseError::NoError);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using base::Property;
    static const base::Columns everyProperty = [] {
        base::Columns columns;
        for (int id = 0; id <= static_cast<int>(Property::Signatures); ++id)
            columns.append(static_cast<Property>(id));
        return columns;
    }();
    static const base::Columns some = {Property::Title, Property::Pages, Property::Created,
                                       Property::PageSize, Property::Tagged};
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = QString::fromUtf8(bytes);

    for (const base::Columns* wanted : {&everyProperty, &some}) {
        const extract::ToolOutputReading reading = extract::readToolOutput(bytes, *wanted);
        for (const extract::PropertyValue& read : reading.values) {
            check(wanted->contains(read.property) && isOfItsKind(read));
            checkValue(read.value);
        }
        checkJson(reading.values);
    }
    check(isOneLine(extract::decodeToolText(text)));

    const auto date = extract::readPdfDate(text.left(40));
    if (date.ok())
        checkValue(base::CellValue::dateTime(date.value().moment));

    const auto version = extract::pdfVersionFromStart(bytes);
    check(!version.ok() ||
          (!version.value().contains(QLatin1Char('\n')) &&
           !version.value().contains(QLatin1Char('\r')) && !version.value().contains(QChar(0))));

    const auto number = base::numberFromText(text);
    check(!number.ok() || std::isfinite(number.value()));
    const auto small = base::smallIntegerFromText(text);
    check(!small.ok() || (small.value() >= -32768 && small.value() <= 32767));

    const QStringList paths = text.split(QChar(0));
    const QString stored = filelist::scrambleSnapshot(filelist::joinSampleList(paths));
    const QStringList back = filelist::splitSampleList(filelist::unscrambleSnapshot(stored));
    check(back == paths || (paths == QStringList{QString()} && back.isEmpty()));
    filelist::splitSampleList(filelist::unscrambleSnapshot(text)); // anything stored by hand
    return 0;
}
