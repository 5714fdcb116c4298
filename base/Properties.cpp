#include "base/Properties.h"

#include "base/ErrorReport.h"
#include "base/NumberText.h"
#include "base/Settings.h"

namespace base {

const QList<PropertyInfo>& properties() {
    using enum Property;
    static const QList<PropertyInfo> set = {
        {Version, "Column1", "Check12", "PDF Version", "PDF Version", "version", ValueType::Text,
         Source::FirstLine},
        {Producer, "Column2", "Check1", "Producer", "Producer", "producer", ValueType::Text,
         Source::ToolDump},
        {Creator, "Column3", "Check2", "Creator", "Creator", "creator", ValueType::Text,
         Source::ToolDump},
        {Title, "Column4", "Check3", "Title", "Title", "title", ValueType::Text, Source::ToolDump},
        {Author, "Column5", "Check4", "Author", "Author", "author", ValueType::Text,
         Source::ToolDump},
        {Subject, "Column6", "Check5", "Subject", "Subject", "subject", ValueType::Text,
         Source::ToolDump},
        {Keywords, "Column7", "Check6", "Keywords", "Keywords", "keywords", ValueType::Text,
         Source::ToolDump},
        {Pages, "Column8", "Check7", "Number of Pages", "Number Of Pages", "pages",
         ValueType::Integer, Source::ToolDump},
        {Modified, "Column9", "Check8", "Date Modified", "Date Modified", "modified",
         ValueType::DateTime, Source::ToolDumpOrFileSystem},
        {Created, "Column10", "Check9", "Date Created", "Date Created", "created",
         ValueType::DateTime, Source::ToolDumpOrFileSystem},
        {Accessed, "Column11", "Check10", "Date Accessed", "Date Accessed", "accessed",
         ValueType::DateTime, Source::FileSystem},
    };
    return set;
}

const PropertyInfo& infoOf(Property property) {
    return properties()[static_cast<qsizetype>(property)];
}

std::optional<Property> propertyNamed(const QString& name) {
    for (const PropertyInfo& info : properties())
        if (name.compare(QLatin1String(info.name), Qt::CaseInsensitive) == 0)
            return info.id;
    return std::nullopt;
}

Columns chosenColumns(const ErrorReport& errors) {
    Columns columns;
    for (const PropertyInfo& info : properties()) {
        bool wanted = true;
        errors.step([&] {
            const QString stored =
                readSetting(QLatin1String(info.settingsKey), QStringLiteral("1"));
            wanted = numberFromText(stored).valueOrThrow() == 1;
        });
        if (wanted)
            columns.append(info.id);
    }
    return columns;
}

Result<Columns> columnsNamed(const QStringList& names) {
    QList<bool> wanted(properties().size(), false);
    for (const QString& name : names) {
        const std::optional<Property> property = propertyNamed(name);
        if (!property)
            return Result<Columns>::failure(QStringLiteral("\"%1\" is not a property.").arg(name));
        wanted[static_cast<qsizetype>(*property)] = true;
    }
    Columns columns;
    for (const PropertyInfo& info : properties())
        if (wanted[static_cast<qsizetype>(info.id)])
            columns.append(info.id);
    return columns;
}

QStringList headerRow(const Columns& columns) {
    QStringList headers{filenameHeader};
    for (const Property property : columns)
        headers.append(QLatin1String(infoOf(property).header));
    return headers;
}

} // namespace base
