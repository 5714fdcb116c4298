#pragma once

#include "base/CellValue.h"
#include "base/ResultsSnapshot.h"

#include <QByteArray>
#include <QJsonValue>

namespace output {

// The one place the results' values are put into JSON, the same in every locale: text as a
// string, whole numbers and file sizes (bytes) as integers, yes or no as true or false, dates
// in ISO 8601 ("2021-08-31T14:30:05+02:00"; a document's date without a zone has no offset,
// a date alone is the date), a page size as {"width": points, "height": points, "name": "A4"
// or null} of the first page, an encryption as "none", "RC4-40", "RC4-128", "AES-128" or
// "AES-256", a form as "none", "AcroForm" or "XFA", and no value as null.
QJsonValue jsonValueOf(const base::CellValue& value);

// One row as a JSON object in compact text (UTF-8, no line break): "file" with the path, one
// key per column (its command-line name, such as "pages"), and "error" with the reason when
// the file could not be read, in that order.
QByteArray jsonText(const base::Columns& columns, const base::ResultRowData& row);
// The same, appended to text.
void appendJsonText(QByteArray& text, const base::Columns& columns, const base::ResultRowData& row);

} // namespace output
