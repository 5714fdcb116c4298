#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace app {
class ErrorReport;
}

namespace extract {

// One of the eleven document properties the program can extract, in the fixed column order.
struct Property {
    const char* key;      // settings key recording whether it is wanted
    const char* checkBox; // its check box in the property dialog
    const char* caption;  // the check box's caption
    const char* header;   // its column header in the results table
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

// The results table's header row for the choices stored now: "Filename", then every
// property whose stored value reads as the number 1 (missing keys count as "1"). A value
// that is not a number is reported through errors and the property counts as chosen.
QStringList buildHeaderRow(app::ErrorReport& errors);

} // namespace extract
