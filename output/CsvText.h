#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace output {

// Appends one field of comma-separated values (RFC 4180), in UTF-8: a field that holds a
// comma, a double quote, CR or LF is put in double quotes, its quotes doubled.
void appendCsvField(QByteArray& line, QByteArrayView field);

// One line of comma-separated values, without its line break.
QString csvLine(const QStringList& fields);

} // namespace output
