#pragma once

#include <QDateTime>
#include <QString>

namespace output {

// Workbooks handed to the spreadsheet application are written into a lasting folder of the
// user's own, ~/.cache/Quorvane/Parvilon/workbooks/: the application may read a workbook
// long after Parvilon has ended, and with some applications the user's own Save writes back
// to it. Each export gets a new file; old ones are removed after two weeks.

// The folder, made (private to the user) when it does not exist yet.
// Throws RunTimeError when it cannot be made.
QString workbookFolder();

// A new file in the folder, named after the moment ("Parvilon results 2026-12-08
// 14-30-05.xlsx", with " (2)" and so on when that name is taken). The file is made empty at
// once, so no other export can take the same name and none is ever written over.
// Throws RunTimeError when no file can be made.
QString reserveWorkbookPath(const QDateTime& now);

// How long a workbook is kept.
inline constexpr int workbookKeepDays = 14;

// Removes the workbooks last changed more than workbookKeepDays before now; returns how many
// went. Everything else in the folder stays.
int removeOldWorkbooks(const QDateTime& now);

} // namespace output
