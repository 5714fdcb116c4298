#pragma once

#include <QString>

namespace base {

// The per-user settings store: one text value per key under the application "Quorvane",
// section "Parvilon". Nothing is cached: every read asks the store, every write is flushed
// at once, so a value written in one window is seen by the next reader.

// The stored text of key, or defaultValue when the key (or the whole store) does not exist.
QString readSetting(const QString& key, const QString& defaultValue);

// Stores text under key, replacing any earlier value.
// Throws RunTimeError when the store cannot be written.
void writeSetting(const QString& key, const QString& text);

} // namespace base
