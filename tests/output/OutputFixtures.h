#pragma once

#include "base/ResultsSnapshot.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>

namespace testsupport {

// A results table in memory: headers, then rows of cells, each ticked unless listed in
// `unticked` (row positions from 0).
base::ResultsSnapshot results(const QStringList& headers, const QList<QStringList>& rows,
                              const QList<int>& unticked = {});

QByteArray fileBytes(const QString& path);

} // namespace testsupport

Q_DECLARE_METATYPE(base::ResultsSnapshot)
