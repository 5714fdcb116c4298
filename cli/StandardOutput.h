#pragma once

#include <QByteArray>
#include <QString>

namespace cli {

// Writes all of data to standard output; the system's reason when it cannot (a closed
// output, a full disk, a pipe whose reader has gone), empty when it could.
QString writeStandardOutput(const QByteArray& data);

} // namespace cli
