#pragma once

#include "extract/RowCells.h"
#include "platform/FolderDetails.h"

#include <QStringList>

namespace extract {

// The details a file manager shows for one file: the detail column titles and the file's
// texts under them.
struct ShellDetails {
    QStringList titles;
    QStringList values; // empty when the file could not be looked up
};

// The details of the file at path that rows take, its name and dates, from its file system
// entry as looked up earlier.
ShellDetails readShellDetails(const QString& path, const platform::FolderDetails::Entry& entry);

// The cells that the details titled Title, Author, Subject, Keywords, Date Modified, Date
// Created and Date Accessed give the columns of the same header; empty details give none.
RowCells shellDetailCells(const ShellDetails& details, const QStringList& headers);

} // namespace extract
