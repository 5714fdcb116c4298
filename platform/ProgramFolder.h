#pragma once

#include <QString>

namespace platform {

// The folder that holds the program's executable, where its side files live
// (the tool, Samples/, HAND-M.CUR, drag.ico, x/o.cjs).
QString programFolder();

// Tests point the program at a folder of their own; an empty text restores the real one.
void overrideProgramFolder(const QString& folder);

} // namespace platform
