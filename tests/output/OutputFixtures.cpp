#include "tests/output/OutputFixtures.h"

#include <QFile>

namespace testsupport {

base::ResultsSnapshot results(const base::Columns& columns,
                              const QList<QList<base::CellValue>>& rows,
                              const QList<int>& unticked) {
    base::ResultsSnapshot data{columns, {}};
    for (qsizetype i = 0; i < rows.size(); ++i)
        data.appendRow(rows[i].value(0).text(), rows[i].mid(1),
                       !unticked.contains(static_cast<int>(i)));
    return data;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace testsupport
