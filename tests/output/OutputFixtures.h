#pragma once

#include "output/ResultsSource.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>

namespace testsupport {

// A results table in memory: headers, then rows of cells, each ticked unless listed in
// `unticked` (row positions from 0).
output::TableSnapshot results(const QStringList& headers, const QList<QStringList>& rows,
                            const QList<int>& unticked = {});

QByteArray fileBytes(const QString& path);

} // namespace testsupport

Q_DECLARE_METATYPE(output::TableSnapshot)
