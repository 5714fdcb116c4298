#include "extract/FileFacts.h"

namespace extract {

QList<PropertyValue> fileEntryValues(const platform::FileEntry& entry,
                                     const base::Columns& wanted) {
    QList<PropertyValue> values;
    if (!wanted.contains(base::Property::FileSize) || !entry.isRegularFile() ||
        (entry.status.stx_mask & STATX_SIZE) == 0)
        return values;
    values.append({base::Property::FileSize,
                   base::CellValue::byteCount(static_cast<qint64>(entry.status.stx_size))});
    return values;
}

} // namespace extract
