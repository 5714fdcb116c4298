#include "cli/InputFiles.h"

#include "cli/CliRequest.h"
#include "filelist/FolderTree.h"
#include "platform/FileNames.h"

#include <QFile>

#include <cerrno>
#include <cstring>

namespace cli {

namespace {

base::Result<QByteArray> readList(const QString& name) {
    QFile list;
    const bool opened = name == QLatin1String("-")
                            ? list.open(stdin, QIODevice::ReadOnly)
                            : (list.setFileName(name), list.open(QIODevice::ReadOnly));
    if (!opened)
        return base::Result<QByteArray>::failure(
            QStringLiteral("%1: %2").arg(name, list.errorString()));
    QByteArray contents = list.readAll();
    if (list.error() != QFileDevice::NoError)
        return base::Result<QByteArray>::failure(
            QStringLiteral("%1: %2").arg(name, list.errorString()));
    return contents;
}

void addPath(InputFiles& input, const QString& path, const QString& extension,
             const base::ErrorReport& errors) {
    if (filelist::isFolder(path))
        input.files.append(filelist::filesOfFolderTree(path, QStringLiteral("*.") + extension,
                                                       errors, &input.leftOut));
    else
        input.files.append(path);
}

} // namespace

QStringList namesInList(const QByteArray& list, bool nulSeparated) {
    QStringList names;
    const char separator = nulSeparated ? '\0' : '\n';
    for (qsizetype start = 0; start < list.size();) {
        qsizetype end = list.indexOf(separator, start);
        if (end < 0)
            end = list.size();
        QByteArrayView name(list.constData() + start, end - start);
        if (!nulSeparated && name.endsWith('\r'))
            name.chop(1);
        if (!name.isEmpty())
            names.append(platform::decodeFileName(name));
        start = end + 1;
    }
    return names;
}

base::Result<InputFiles> inputFilesOf(const CliRequest& request, const base::ErrorReport& errors) {
    InputFiles input;
    for (const QString& path : request.paths)
        addPath(input, path, request.extension, errors);
    for (const QString& listName : request.fileLists) {
        const base::Result<QByteArray> list = readList(listName);
        if (!list.ok())
            return base::Result<InputFiles>::failure(list.error());
        for (const QString& path : namesInList(list.value(), request.nulSeparated))
            addPath(input, path, request.extension, errors);
    }
    return input;
}

QString leftOutLine(const filelist::LeftOut& leftOut) {
    if (leftOut.files == 0 && leftOut.folders == 0)
        return {};
    QStringList parts;
    if (leftOut.files > 0)
        parts.append((leftOut.files == 1 ? QStringLiteral("1 file")
                                         : QStringLiteral("%1 files").arg(leftOut.files)) +
                     QStringLiteral(" by its name rules (a name starting with \"~\", a hidden "
                                    "file, a path too long)"));
    if (leftOut.folders > 0)
        parts.append((leftOut.folders == 1 ? QStringLiteral("1 folder")
                                           : QStringLiteral("%1 folders").arg(leftOut.folders)) +
                     QStringLiteral(" it may not enter (an unusable name, a hidden system "
                                    "folder, no access)"));
    return QStringLiteral("the folder scan left out ") + parts.join(QStringLiteral(" and "));
}

} // namespace cli
