#pragma once

#include "base/Properties.h"
#include "extract/ToolOutput.h"
#include "platform/FileEntry.h"

#include <QList>

namespace extract {

// What a file's own entry in the file system gives the columns wanted, beyond its dates
// (FileDates.h): the size of a regular file in bytes (File Size). Nothing for a file that
// was not found or is no regular file.
QList<PropertyValue> fileEntryValues(const platform::FileEntry& entry, const base::Columns& wanted);

} // namespace extract
