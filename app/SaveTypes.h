#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace app {

// The forms the window saves the results in.
enum class SaveFormat { AlignedText, Csv, Workbook, Json, JsonLines };

// A type the save dialog offers: its filter ("Label (*.ext)") and its extension.
struct SaveType {
    SaveFormat format;
    QString filter;
    QString extension; // without the dot
};

// The types of the save dialog, in its order. A form added here is offered by the dialog and
// chosen by its extension with no other change.
const QList<SaveType>& saveTypes();
QStringList saveFilters();
// The dialog's position of a form's type.
int saveTypeIndex(SaveFormat format);

struct SaveTarget {
    QString path;
    SaveFormat format;
};

// Where and in which form to save for the name the user gave and the type chosen (-1 when
// the dialog could not tell): a name ending in a type's extension (any letter case) is saved
// in that type; any other in the chosen type (aligned text when not known), with its
// extension added when the name has none.
SaveTarget saveTargetFor(const QString& path, int chosenType);

// The name the save dialog suggests: "PDF properties 2026-12-08.txt".
QString suggestedSaveName(const QDate& day, SaveFormat format);

} // namespace app
