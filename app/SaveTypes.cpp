#include "app/SaveTypes.h"

#include <QFileInfo>

namespace app {

const QList<SaveType>& saveTypes() {
    static const QList<SaveType> types = {
        {SaveFormat::AlignedText, QStringLiteral("Text file, aligned columns (*.txt)"),
         QStringLiteral("txt")},
        {SaveFormat::Csv, QStringLiteral("Comma-separated values (*.csv)"), QStringLiteral("csv")},
        {SaveFormat::Workbook, QStringLiteral("Spreadsheet workbook (*.xlsx)"),
         QStringLiteral("xlsx")},
        {SaveFormat::Json, QStringLiteral("JSON (*.json)"), QStringLiteral("json")},
        {SaveFormat::JsonLines, QStringLiteral("JSON Lines (*.jsonl)"), QStringLiteral("jsonl")},
    };
    return types;
}

QStringList saveFilters() {
    QStringList filters;
    for (const SaveType& type : saveTypes())
        filters.append(type.filter);
    return filters;
}

int saveTypeIndex(SaveFormat format) {
    for (qsizetype i = 0; i < saveTypes().size(); ++i)
        if (saveTypes()[i].format == format)
            return static_cast<int>(i);
    return 0;
}

SaveTarget saveTargetFor(const QString& path, int chosenType) {
    const QFileInfo name(path);
    const QString suffix = name.suffix();
    for (const SaveType& type : saveTypes())
        if (suffix.compare(type.extension, Qt::CaseInsensitive) == 0)
            return {path, type.format};
    const SaveType& chosen = chosenType >= 0 && chosenType < saveTypes().size()
                                 ? saveTypes()[chosenType]
                                 : saveTypes().constFirst();
    if (chosenType < 0 || !suffix.isEmpty())
        return {path, chosen.format};
    QString withExtension = path;
    if (!withExtension.endsWith(QLatin1Char('.')))
        withExtension += QLatin1Char('.');
    return {withExtension + chosen.extension, chosen.format};
}

QString suggestedSaveName(const QDate& day, SaveFormat format) {
    return QStringLiteral("PDF properties %1.%2")
        .arg(day.toString(Qt::ISODate), saveTypes()[saveTypeIndex(format)].extension);
}

} // namespace app
