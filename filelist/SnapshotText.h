#pragma once

#include <QString>
#include <QStringList>

namespace filelist {

// The sample list as one text: the paths joined with "|". A "%" or "|" inside a path is
// written as "%25" or "%7C", since on Linux both may appear in the program folder's name.
QString joinSampleList(const QStringList& paths);
// The paths of a sample list text; none for an empty text.
QStringList splitSampleList(const QString& text);

// The form in which the sample list is stored under "Snapshot", and back. An empty text
// stays empty; a stored value that is not one this program wrote gives an empty text.
QString scrambleSnapshot(const QString& text);
QString unscrambleSnapshot(const QString& stored);

} // namespace filelist
