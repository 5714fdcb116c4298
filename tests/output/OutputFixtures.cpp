#include "tests/output/OutputFixtures.h"

#include <QFile>

namespace testsupport {

base::ResultsSnapshot results(const QStringList& headers, const QList<QStringList>& rows,
                              const QList<int>& unticked) {
    base::ResultsSnapshot data;
    data.headers = headers;
    for (qsizetype i = 0; i < rows.size(); ++i)
        data.appendRow(rows[i], !unticked.contains(static_cast<int>(i)));
    return data;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace testsupport
