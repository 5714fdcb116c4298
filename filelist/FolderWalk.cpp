#include "filelist/FolderWalk.h"

#include "base/ErrorReport.h"
#include "base/Progress.h"
#include "filelist/FileAttributes.h"
#include "filelist/FolderEntries.h"
#include "filelist/NamePattern.h"
#include "platform/FileNames.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <sys/stat.h>
#include <vector>

namespace filelist {

namespace {

// Linux lists a folder in the order of its own index, which differs from one file system to
// the next; listings are sorted by name, ignoring case, which is the order a user expects
// and the one NTFS gives.
// Sorts the items by name so: ignoring case first, then exactly. Each name is folded once, not
// at every comparison (a caseless compare folds both names anew): a folder of 100,000 files
// took a second of folding.
template <typename T, typename NameOf> void sortByName(QList<T>& items, NameOf nameOf) {
    struct Keyed {
        QString folded;
        qsizetype index;
    };
    std::vector<Keyed> keys;
    keys.reserve(static_cast<std::size_t>(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i)
        keys.push_back({nameOf(items[i]).toCaseFolded(), i});
    std::sort(keys.begin(), keys.end(), [&](const Keyed& a, const Keyed& b) {
        if (a.folded != b.folded)
            return a.folded < b.folded;
        return nameOf(items[a.index]) < nameOf(items[b.index]);
    });
    QList<T> sorted;
    sorted.reserve(items.size());
    for (const Keyed& key : keys)
        sorted.append(std::move(items[key.index]));
    items = std::move(sorted);
}

bool isRootFolder(const QString& folder) {
    return QDir::cleanPath(folder) == QLatin1String("/");
}

// A root is always entered; a hidden system folder (also one that is a link) never is.
bool mayBeEntered(const QString& folder) {
    if (isRootFolder(folder))
        return true;
    constexpr int hiddenSystemFolder = attributeDirectory | attributeSystem | attributeHidden;
    const std::optional<int> attributes = fileAttributes(folder);
    return attributes && *attributes != hiddenSystemFolder &&
           *attributes != (hiddenSystemFolder | attributeReparsePoint);
}

// Lists the subfolders of each folder of level into children, and takes out of level the
// folders whose subfolders cannot be listed because access is denied or they are gone.
void listSubfolders(QStringList& level, QStringList& children, const base::ErrorReport& errors,
                    LeftOut& leftOut, const base::StopRequest* stop) {
    for (qsizetype i = 0; i < level.size();) {
        const QString current = level[i];
        bool unreadable = false;
        errors.step([&] {
            if (!isFolder(current) || !fitsPathLimit(current))
                return;
            if (stop)
                stop->throwIfRequested();
            if (!mayBeEntered(current))
                return;
            OpenFolder open(current);
            QStringList names;
            while (const std::optional<FolderEntry> entry = open.next()) {
                // A link to a folder is never a subfolder: following links could walk a
                // cycle for ever or list the same files under two paths.
                if (entry->kind != FolderEntry::Kind::Folder)
                    continue;
                QString name = decodedName(entry->encodedName);
                if (hasUnusableCharacters(name))
                    ++leftOut.folders;
                else
                    names.append(std::move(name));
            }
            sortByName(names, [](const QString& name) -> const QString& { return name; });
            for (const QString& name : std::as_const(names))
                children.append(current + name + QLatin1Char('/'));
            unreadable = open.failure() == ListingFailure::AccessDenied ||
                         open.failure() == ListingFailure::PathNotFound;
        });
        if (unreadable) {
            ++leftOut.folders;
            level.removeAt(i); // the walk goes on with the entry that took its place
        } else {
            ++i;
        }
    }
}

void appendEnterable(QStringList& folders, const QStringList& found,
                     const base::ErrorReport& errors, LeftOut& leftOut) {
    for (const QString& folder : found) {
        errors.step([&] {
            if (!isFolder(folder))
                return;
            if (mayBeEntered(folder))
                folders.append(folder);
            else
                ++leftOut.folders;
        });
    }
}

} // namespace

void collectSubfolders(QStringList& folders, bool recurse, base::ErrorSink& sink, LeftOut* leftOut,
                       const base::StopRequest* stop) {
    LeftOut uncounted;
    LeftOut& counted = leftOut ? *leftOut : uncounted;
    const base::ErrorReport errors(sink, QStringLiteral("AddFolder.GetSubDirectories2016"),
                                   QStringLiteral("Brisklet2021/08/31"));
    // One pass per depth: the work never nests deeper than one level, whatever the depth of
    // the tree, and each level is complete before the next one is listed.
    QStringList level;
    listSubfolders(folders, level, errors, counted, stop);
    while (recurse && !level.isEmpty()) {
        QStringList next;
        listSubfolders(level, next, errors, counted, stop);
        appendEnterable(folders, level, errors, counted);
        level = std::move(next);
    }
    if (!recurse)
        appendEnterable(folders, level, errors, counted);
}

QList<ListedFile> listFilesWithAttributes(const QString& folder, const QString& pattern) {
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    OpenFolder open(base);
    QList<ListedFile> files;
    while (const std::optional<FolderEntry> entry = open.next()) {
        if (entry->kind == FolderEntry::Kind::Folder)
            continue;
        QString name = decodedName(entry->encodedName);
        if (!matchesNamePattern(name, pattern))
            continue;
        const std::optional<EntryStatus> status = open.status(entry->encodedName, name);
        if (status && status->isRegularFile)
            files.append({std::move(name), status->attributes});
    }
    sortByName(files, [](const ListedFile& file) -> const QString& { return file.name; });
    return files;
}

QStringList listFilesInFolder(const QString& folder, const QString& pattern) {
    QStringList names;
    for (const ListedFile& file : listFilesWithAttributes(folder, pattern))
        names.append(file.name);
    return names;
}

bool isExistingFile(const QString& path) {
    struct stat status {};
    return !path.isEmpty() && ::stat(platform::encodeFileName(path).constData(), &status) == 0 &&
           S_ISREG(status.st_mode);
}

bool isFolder(const QString& path) {
    const std::optional<int> attributes = fileAttributes(path);
    return attributes && (*attributes & attributeDirectory) != 0;
}

bool hasUnusableCharacters(const QString& name) {
    // The three rules name code points below 160, each a single UTF-16 unit, so looking at
    // the units is looking at the code points.
    return std::any_of(name.cbegin(), name.cend(), [](QChar c) {
        const char16_t unit = c.unicode();
        return unit < 32 || (unit >= 127 && unit <= 159) || unit == u'?';
    });
}

} // namespace filelist
