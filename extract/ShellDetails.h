#pragma once

#include <QStringList>

#include <functional>

namespace output {
class ResultRow;
}

namespace extract {

// The details a file manager shows for one file: the detail column titles and the file's
// texts under them.
struct ShellDetails {
    QStringList titles;
    QStringList values; // empty when the file could not be looked up
};

// Reads the details of the file at path.
ShellDetails readShellDetails(const QString& path);

// Copies the details titled Title, Author, Subject, Keywords, Date Modified, Date Created
// and Date Accessed into the row's columns of the same header; empty details never
// overwrite a cell.
void copyShellDetails(const ShellDetails& details, const output::ResultRow& row,
                      const std::function<int(const QString&)>& columnOf);

} // namespace extract
