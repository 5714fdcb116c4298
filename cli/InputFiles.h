#pragma once

#include "base/Result.h"
#include "filelist/FolderWalk.h"

#include <QStringList>

namespace base {
class ErrorReport;
}

namespace cli {

struct CliRequest;

// The files a run reads, in order, and what the folder walks left out by their rules.
struct InputFiles {
    QStringList files;
    filelist::LeftOut leftOut;
};

// The names in a list of paths: one per line (a CR before the LF is dropped), or, with
// nulSeparated, ended by NUL characters and kept exactly. Empty names are skipped. Names
// whose bytes are not UTF-8 are carried as they are.
QStringList namesInList(const QByteArray& list, bool nulSeparated);

// The files the request names: each path, or each path of its lists, as it is, except that
// a folder gives every file of its tree with the request's extension, in the order of the
// folder scan. Fails when a list cannot be read.
base::Result<InputFiles> inputFilesOf(const CliRequest& request, const base::ErrorReport& errors);

// What the folder walks left out, said in one line; empty when they left out nothing.
QString leftOutLine(const filelist::LeftOut& leftOut);

} // namespace cli
