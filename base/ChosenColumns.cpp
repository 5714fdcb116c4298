// The columns chosen in the settings, apart from the registry so that the registry needs no
// settings store.
#include "base/ErrorReport.h"
#include "base/NumberText.h"
#include "base/Properties.h"
#include "base/Settings.h"

namespace base {

Columns chosenColumns(const ErrorReport& errors) {
    Columns columns;
    for (const PropertyInfo& info : properties()) {
        bool wanted = true;
        errors.step([&] {
            const QString stored =
                readSetting(QLatin1String(info.settingsKey), info.defaultSetting());
            wanted = numberFromText(stored).valueOrThrow() == 1;
        });
        if (wanted)
            columns.append(info.id);
    }
    return columns;
}

} // namespace base
