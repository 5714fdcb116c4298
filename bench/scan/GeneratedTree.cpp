#include "GeneratedTree.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int topFolders = 20;
constexpr int middleFolders = 9;   // in each top folder
constexpr int bottomFolders = 10;  // in each middle folder
constexpr int filesPerFolder = 50; // 2,000 folders of 50 files

void touch(const QString& path) {
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (descriptor >= 0)
        ::close(descriptor);
}

void link(const char* target, const QString& at, TreeCounts& counts) {
    if (::symlink(target, QFile::encodeName(at).constData()) == 0)
        ++counts.links;
}

void fillFolder(const QString& folder, TreeCounts& counts) {
    for (int i = 0; i < filesPerFolder; ++i) {
        QString name;
        switch (i % 3) {
        case 0:
            name = QStringLiteral("document-%1.%2").arg(i).arg(i % 9 == 0 ? "PDF" : "pdf");
            ++counts.pdfNames;
            break;
        case 1:
            name = QStringLiteral("notes-%1.txt").arg(i);
            break;
        default:
            name = QStringLiteral("picture-%1.png").arg(i);
            break;
        }
        if (i == 45) {
            name.prepend(QLatin1Char('~'));
            ++counts.tildeFiles;
        } else if (i == 48) {
            name.prepend(QLatin1Char('.'));
            ++counts.hiddenFiles;
        }
        touch(folder + QLatin1Char('/') + name);
        ++counts.files;
    }
}

QString makeFolder(const QString& path, TreeCounts& counts) {
    QDir().mkdir(path);
    ++counts.folders;
    return path;
}

} // namespace

TreeCounts generateTree(const QString& root) {
    TreeCounts counts;
    for (int top = 0; top < topFolders; ++top) {
        const QString topPath =
            makeFolder(root + QStringLiteral("/part-%1").arg(top, 2, 10, QLatin1Char('0')), counts);
        fillFolder(topPath, counts);
        for (int middle = 0; middle < middleFolders; ++middle) {
            const QString middlePath =
                makeFolder(topPath + QStringLiteral("/section-%1").arg(middle), counts);
            fillFolder(middlePath, counts);
            for (int bottom = 0; bottom < bottomFolders; ++bottom) {
                // Every tenth folder is hidden.
                const QString name =
                    bottom == 0 ? QStringLiteral("/.cache-%1") : QStringLiteral("/leaf-%1");
                fillFolder(makeFolder(middlePath + name.arg(bottom), counts), counts);
            }
        }
    }
    // 20 + 180 + 1,800 folders hold the 100,000 files; the links come on top.
    link(".", root + QStringLiteral("/loop"), counts);
    link("../..", root + QStringLiteral("/part-00/section-0/up"), counts);
    link("../../part-01", root + QStringLiteral("/part-00/section-0/alias"), counts);
    link("leaf-1/document-3.pdf", root + QStringLiteral("/part-00/section-0/shortcut.pdf"), counts);
    link("missing.pdf", root + QStringLiteral("/part-00/section-0/dangling.pdf"), counts);
    return counts;
}
