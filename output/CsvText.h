#pragma once

#include <QString>
#include <QStringList>

namespace output {

// One line of comma-separated values (RFC 4180), without its line break: a field that holds
// a comma, a double quote, CR or LF is put in double quotes, its quotes doubled.
QString csvLine(const QStringList& fields);

} // namespace output
