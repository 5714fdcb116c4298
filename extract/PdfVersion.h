#pragma once

#include "base/Result.h"

#include <QByteArray>
#include <QString>

namespace extract {

// How many bytes of a PDF file are read for its version: the header line lies within the
// first 1024 bytes (readers accept junk before it) and is short.
inline constexpr qint64 versionReadLimit = 4096;

// The version text of a PDF file from its first bytes: the header line from its second
// character to the first line break (CR LF, CR or LF), so "%PDF-1.4" gives "PDF-1.4".
// When the file does not start with "%PDF-" but has it within its first 1024 bytes, the
// text is taken from there. NUL characters are left out. Fails when there is no line break
// after the first character.
base::Result<QString> pdfVersionFromStart(const QByteArray& start);

// Reads the version of the PDF file at path. Only a regular file is read (a FIFO or a
// device named like a PDF must not block the run), and only its first bytes.
// Fails when the file cannot be read or has no line break.
base::Result<QString> readPdfVersion(const QString& path);

} // namespace extract
