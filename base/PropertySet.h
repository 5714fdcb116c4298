#pragma once

#include "base/Result.h"

#include <QString>
#include <QStringList>

#include <array>

namespace base {

class ErrorReport;

// One of the eleven document properties the program can extract, in the fixed column order.
struct Property {
    const char* key;      // settings key recording whether it is wanted
    const char* checkBox; // its check box in the property dialog
    const char* caption;  // the check box's caption
    const char* header;   // its column header in the results table
    const char* name;     // its short name on the command line
};

const std::array<Property, 11>& properties();

inline const QString filenameHeader = QStringLiteral("Filename");
inline const QString versionHeader = QStringLiteral("PDF Version");
inline const QString producerHeader = QStringLiteral("Producer");
inline const QString creatorHeader = QStringLiteral("Creator");
inline const QString titleHeader = QStringLiteral("Title");
inline const QString authorHeader = QStringLiteral("Author");
inline const QString subjectHeader = QStringLiteral("Subject");
inline const QString keywordsHeader = QStringLiteral("Keywords");
inline const QString pagesHeader = QStringLiteral("Number Of Pages");
inline const QString modifiedHeader = QStringLiteral("Date Modified");
inline const QString createdHeader = QStringLiteral("Date Created");
inline const QString accessedHeader = QStringLiteral("Date Accessed");

// The position of the first of headers that equals header exactly, or 0 when there is none
// ("Filename" itself also gives 0, so a writer of cells never writes over the path).
inline int columnIndexOf(const QStringList& headers, const QString& header) {
    const qsizetype position = headers.indexOf(header);
    return position < 0 ? 0 : static_cast<int>(position);
}

// The results table's header row for the choices stored now: "Filename", then every
// property whose stored value reads as the number 1 (missing keys count as "1"). A value
// that is not a number is reported through errors and the property counts as chosen.
QStringList buildHeaderRow(const ErrorReport& errors);

// The header row for the properties named, in the fixed column order whatever the order of
// the names: "Filename", then those properties. Names are the short names, in any letter
// case.
Result<QStringList> headerRowForNames(const QStringList& names);

} // namespace base
