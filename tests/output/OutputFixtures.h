#pragma once

#include "base/ResultsSnapshot.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>

namespace testsupport {

// A results table in memory: the columns after the path, then rows of cells, each row's
// path first, each row ticked unless listed in `unticked` (row positions from 0).
base::ResultsSnapshot results(const base::Columns& columns,
                              const QList<QList<base::CellValue>>& rows,
                              const QList<int>& unticked = {});

QByteArray fileBytes(const QString& path);

} // namespace testsupport

Q_DECLARE_METATYPE(base::ResultsSnapshot)
