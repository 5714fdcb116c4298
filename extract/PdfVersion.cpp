#include "extract/PdfVersion.h"

#include "platform/FileNames.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace extract {

namespace {
constexpr qsizetype headerSearchLimit = 1024;
const QByteArray header = QByteArrayLiteral("%PDF-");
} // namespace

base::Result<QString> pdfVersionFromStart(const QByteArray& start) {
    qsizetype from = 1;
    if (!start.startsWith(header)) {
        const qsizetype found = start.indexOf(header);
        if (found > 0 && found < headerSearchLimit)
            from = found + 1;
    }
    qsizetype lineBreak = from;
    while (lineBreak < start.size() && start[lineBreak] != '\r' && start[lineBreak] != '\n')
        ++lineBreak;
    if (lineBreak >= start.size())
        return base::Result<QString>::failure(
            QStringLiteral("The file has no line break after its header."));
    QByteArray version = start.mid(from, lineBreak - from);
    version.replace('\0', QByteArray());
    return QString::fromLatin1(version);
}

base::Result<QString> readPdfVersion(const QString& path) {
    const int file =
        ::open(platform::encodeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        const int error = errno;
        const QString reason = QString::fromLocal8Bit(std::strerror(error));
        return base::Result<QString>::failure(
            error == ENOENT ? QStringLiteral("File not found: %1 (%2)").arg(path, reason)
                            : QStringLiteral("%1 cannot be opened: %2").arg(path, reason));
    }
    struct stat status {};
    if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(file);
        return base::Result<QString>::failure(
            QStringLiteral("%1 is not a regular file.").arg(path));
    }
    QByteArray start(versionReadLimit, '\0');
    qsizetype filled = 0;
    int readError = 0;
    while (filled < start.size()) {
        const ssize_t got =
            ::read(file, start.data() + filled, static_cast<size_t>(start.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            readError = errno;
        if (got <= 0)
            break;
        filled += got;
    }
    ::close(file);
    if (readError != 0)
        return base::Result<QString>::failure(
            QStringLiteral("%1 cannot be read (%2).")
                .arg(path, QString::fromLocal8Bit(std::strerror(readError))));
    start.truncate(filled);
    const base::Result<QString> version = pdfVersionFromStart(start);
    if (!version.ok()) // said with the file's name, which the first bytes do not know
        return base::Result<QString>::failure(path + QStringLiteral(": ") + version.error());
    return version;
}

} // namespace extract
