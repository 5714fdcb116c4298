#include "FolderFixtures.h"

#include "base/FileListModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <chrono>
#include <dirent.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace folderfixtures {

TreeRoot::~TreeRoot() {
    QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), folder.path()});
}

void makeTree(const QString& root, const QStringList& entries) {
    for (const QString& entry : entries) {
        const QString path = root + QLatin1Char('/') + entry;
        QDir().mkpath(entry.endsWith(QLatin1Char('/')) ? path : QFileInfo(path).path());
        QFile file(path);
        if (!entry.endsWith(QLatin1Char('/')) && !file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
    }
}

void makeLink(const QString& target, const QString& path) {
    if (::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) != 0)
        qFatal("cannot link %s", qPrintable(path));
}

QStringList rowsOf(const base::FileListModel& files, const QString& prefix) {
    QStringList rows;
    for (const QString& path : files.paths())
        rows.append(path.mid(prefix.size()));
    return rows;
}

namespace {
bool setReadAnything(bool on) {
    constexpr unsigned readAnything = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    data[0].effective = on ? data[0].effective | (readAnything & data[0].permitted)
                           : data[0].effective & ~readAnything;
    return ::syscall(SYS_capset, &header, data) == 0;
}
} // namespace

PermissionBitsApply::PermissionBitsApply() : lowered(::geteuid() == 0 && setReadAnything(false)) {}

PermissionBitsApply::~PermissionBitsApply() {
    if (lowered)
        setReadAnything(true);
}

bool folderIsUnreadable(const QString& folder) {
    DIR* handle = ::opendir(QFile::encodeName(folder).constData());
    if (handle)
        ::closedir(handle);
    return handle == nullptr;
}

int threadCount() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/task"))
                                .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                                .size());
}

bool threadsAreBackTo(int count) {
    for (int attempt = 0; attempt < 30; ++attempt) {
        if (threadCount() == count)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return threadCount() == count;
}

} // namespace folderfixtures
