#include "base/Properties.h"

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
        // Further properties, offered but not chosen until the user asks for them.
        {FileSize, "Column12", "Check13", "File Size", "File Size", "filesize",
         ValueType::ByteCount, Source::FileSystem, Group::More},
        {PageSize, "Column13", "Check14", "Page Size", "Page Size", "pagesize", ValueType::PageSize,
         Source::ToolAudit, Group::More,
         "The first page's size, turned as it is shown; \"varies\" when other pages differ"},
        {Encryption, "Column14", "Check15", "Encryption", "Encryption", "encryption",
         ValueType::Encryption, Source::ToolAudit, Group::More},
        {Tagged, "Column15", "Check16", "Tagged", "Tagged", "tagged", ValueType::Boolean,
         Source::ToolAudit, Group::More,
         "Whether the document says it is tagged for accessibility"},
        {Language, "Column16", "Check17", "Language", "Language", "language", ValueType::Text,
         Source::ToolAudit, Group::More, "The document's language, as the document names it"},
        {PdfA, "Column17", "Check18", "PDF/A", "PDF/A", "pdfa", ValueType::Text, Source::ToolAudit,
         Group::More,
         "The PDF/A conformance the document claims in its metadata: a claim, not a validation"},
        {Linearized, "Column18", "Check19", "Linearized", "Linearized", "linearized",
         ValueType::Boolean, Source::ToolAudit, Group::More,
         "Whether the file is arranged for fast viewing over the web"},
        {Form, "Column19", "Check20", "Form", "Form", "form", ValueType::Form, Source::ToolAudit,
         Group::More},
        {JavaScript, "Column20", "Check21", "JavaScript", "JavaScript", "javascript",
         ValueType::Boolean, Source::ToolAudit, Group::More,
         "Whether the document, a page or an annotation runs JavaScript"},
        {Attachments, "Column21", "Check22", "Attachments", "Attachments", "attachments",
         ValueType::Integer, Source::ToolAudit, Group::More, "The number of embedded files"},
        {Signatures, "Column22", "Check23", "Signatures", "Signatures", "signatures",
         ValueType::Integer, Source::ToolAudit, Group::More, "The number of signature fields"},
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
