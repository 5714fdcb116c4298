#include "output/WholeFileWriter.h"

#include "base/Progress.h"
#include "base/RunTimeError.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace output {

WholeFileWriter::WholeFileWriter(const QString& target) : path(target), file(target) {
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw base::RunTimeError(
            QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
}

void WholeFileWriter::commit() {
    // What fits in the file's buffer reaches the disk only now. Qt's commit would still put
    // the file in place when this last write fails, so it is checked first.
    if (!file.flush() || file.error() != QFileDevice::NoError)
        failure();
    // A full disk may show only when the data is made safe (delayed allocation); Qt's commit
    // makes it safe too but does not say when that failed. EINVAL: a file that cannot be made
    // safe (a device), nothing to wait for.
    if (::fsync(file.handle()) != 0 && errno != EINVAL)
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!file.commit())
        fail(file.errorString());
}

void WholeFileWriter::failure() {
    fail(writeFailureReason(file));
}

void WholeFileWriter::fail(const QString& reason) {
    file.cancelWriting(); // so nothing can put the file in place any more
    throw base::RunTimeError(
        QStringLiteral("%1 could not be written completely: %2").arg(path, reason));
}

QString writeFailureReason(QFileDevice& file) {
    if (file.isOpen())
        file.flush();
    return file.errorString();
}

base::Status writeWholeFile(const QString& path, const base::StopRequest* stop,
                            const std::function<void(QIODevice&)>& write) {
    try {
        WholeFileWriter file(path);
        try {
            write(file.device());
        } catch (const base::Stopped&) {
            throw;
        } catch (const base::RunTimeError&) {
            file.failure(); // the same refusal, said with the file's name
        }
        if (stop)
            stop->throwIfRequested();
        file.commit();
        return base::Status::success();
    } catch (const base::RunTimeError& error) {
        return base::Status::failure(QString::fromUtf8(error.what()));
    }
}

} // namespace output
