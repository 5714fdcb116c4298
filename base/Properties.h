#pragma once

#include "base/Result.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace base {

class ErrorReport;

// The document properties the program can extract, in their fixed column order.
enum class Property {
    Version,
    Producer,
    Creator,
    Title,
    Author,
    Subject,
    Keywords,
    Pages,
    Modified,
    Created,
    Accessed,
    FileSize,
    PageSize,
    Encryption,
    Tagged,
    Language,
    PdfA,
    Linearized,
    Form,
    JavaScript,
    Attachments,
    Signatures,
};

// What kind of value a property's cells hold (a cell may still hold text the tool gave where
// a number was due).
enum class ValueType {
    Text,
    Integer,
    DateTime,
    Boolean,
    ByteCount,
    PageSize,
    Encryption,
    Form,
};

// Where a property's values come from.
enum class Source {
    FirstLine,  // the file's first line
    ToolDump,   // the tool's dump
    FileSystem, // the file's entry in the file system
    // the document's own date in the tool's dump, else the file system's
    ToolDumpOrFileSystem,
    ToolAudit, // the audit lines the tool adds to its dump when asked (the word "audit")
};

// Where a property is offered: among the eleven described properties, or among the further
// ones an audit asks for ("More properties"), which are not chosen until the user asks.
enum class Group { Described, More };

struct PropertyInfo {
    Property id;
    const char* settingsKey; // whether it is wanted, as "1" or "0"
    const char* checkBox;    // its check box in the property dialog
    const char* caption;     // the check box's caption
    const char* header;      // its column header in the results table
    const char* name;        // its name on the command line
    ValueType type;
    Source source;
    Group group = Group::Described;
    // What its column header and check box say when pointed at; null when nothing more.
    const char* toolTip = nullptr;

    // The stored choice of a user who never chose: the described properties are chosen, the
    // further ones not.
    QString defaultSetting() const {
        return group == Group::Described ? QStringLiteral("1") : QStringLiteral("0");
    }
};

// Every property, in column order.
const QList<PropertyInfo>& properties();
const PropertyInfo& infoOf(Property property);
// The property with a command-line name, in any letter case.
std::optional<Property> propertyNamed(const QString& name);

// The header of the first column, which holds the file's path.
inline const QString filenameHeader = QStringLiteral("Filename");

// The columns of a results table after the path: the chosen properties in column order.
using Columns = QList<Property>;

// The columns chosen now in the settings: every property whose stored value reads as the
// number 1 (a missing key counts as its property's default setting). A value that is not a number
// is reported through errors and the property counts as chosen.
Columns chosenColumns(const ErrorReport& errors);

// The columns for the properties named, in column order whatever the order of the names.
Result<Columns> columnsNamed(const QStringList& names);

// The header row of a table with these columns: "Filename", then each column's header.
QStringList headerRow(const Columns& columns);

} // namespace base
