#pragma once

#include "extract/RowCells.h"

#include <QStringList>

namespace extract {

// The details a file manager shows for one file: the detail column titles and the file's
// texts under them.
struct ShellDetails {
    QStringList titles;
    QStringList values; // empty when the file could not be looked up
};

// Reads the details of the file at path that rows take: its name and dates.
ShellDetails readShellDetails(const QString& path);

// The cells that the details titled Title, Author, Subject, Keywords, Date Modified, Date
// Created and Date Accessed give the columns of the same header; empty details give none.
RowCells shellDetailCells(const ShellDetails& details, const QStringList& headers);

} // namespace extract
