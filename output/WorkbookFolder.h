#pragma once

#include <QDateTime>
#include <QString>

namespace output {

// Workbooks handed to the spreadsheet application are written into a lasting folder of the
// user's own, ~/.cache/Quorvane/Parvilon/workbooks/: the application may read a workbook
// long after Parvilon has ended. Each export gets a new file, handed over read-only so that
// the application's Save asks for a place of the user's own; after two weeks the ones still
// as they were handed over are removed.

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

// Makes a workbook of the folder ready to be handed over: read-only for everyone, and last
// changed at the moment its name gives, which is how removeOldWorkbooks knows it unchanged.
// Throws RunTimeError when it cannot.
void handOverWorkbook(const QString& path);

// Removes the workbooks handed over more than workbookKeepDays before now that are still
// read-only and unchanged since, and what exports that never finished left behind (an empty
// reserved name, a temporary file) as long ago; returns how many went. A workbook that may
// have been changed since, and everything else in the folder, stays.
int removeOldWorkbooks(const QDateTime& now);

} // namespace output
