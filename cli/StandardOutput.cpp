#include "cli/StandardOutput.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace cli {

QString writeStandardOutput(const QByteArray& data) {
    qsizetype written = 0;
    while (written < data.size()) {
        const ssize_t done = ::write(STDOUT_FILENO, data.constData() + written,
                                     static_cast<size_t>(data.size() - written));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return QString::fromLocal8Bit(std::strerror(done < 0 ? errno : EIO));
        written += done;
    }
    return {};
}

} // namespace cli
