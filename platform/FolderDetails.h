#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

// The details a file manager shows for the files of a folder: a fixed table of 41 detail
// columns, each with a title, and per file the text of each column. Dates are the file
// system's modification, birth and access times in the locale's short date and short time.
// Title, author, subject and keywords have no file-system source here and stay empty.
namespace FolderDetails {

inline constexpr int columnCount = 41;

// The 41 column titles; columns without a source have an empty title.
const QStringList& titles();

// Which details to read: all, or the name and the dates alone, for a caller that reads them
// for many files and needs no type look-up or size text.
enum class Wanted { All, NameAndDates };

// The file system's entry for a file, as looked up at one moment: its type, size and dates.
struct Entry {
    bool found = false;
    struct statx status {};
};

// Looks the entry of the file at path up (following a symbolic link to its target).
Entry lookUp(const QString& path);

// The 41 detail texts of the file at path, from its entry looked up earlier: a caller that
// must read the dates before something else touches the file turns them into texts later.
// Empty when the entry was not found.
QStringList detailsOf(const QString& path, const Entry& entry,
                      const QLocale& locale = QLocale::system(), Wanted wanted = Wanted::All);

// The 41 detail texts of the file at path itself (never of a neighbour whose name differs
// only in letter case); empty when the file cannot be looked up. Details not wanted stay
// empty.
QStringList detailsOf(const QString& path, const QLocale& locale = QLocale::system(),
                      Wanted wanted = Wanted::All);

} // namespace FolderDetails

} // namespace platform
