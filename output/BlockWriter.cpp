#include "output/BlockWriter.h"

#include "base/RunTimeError.h"
#include "output/WholeFileWriter.h"

#include <QFileDevice>

namespace output {

BlockWriter::BlockWriter(QIODevice& to) : device(to) {
    block.reserve(blockSize + 4096);
}

void BlockWriter::flush() {
    if (block.isEmpty())
        return;
    const qint64 written = device.write(block);
    if (written != block.size()) {
        // A write cut short names no reason of its own; writing the rest meets the same
        // refusal again, and names it.
        if (written >= 0)
            device.write(block.constData() + written, block.size() - written);
        auto* file = qobject_cast<QFileDevice*>(&device);
        throw base::RunTimeError(QStringLiteral("The results could not be written: %1")
                                     .arg(file ? writeFailureReason(*file) : device.errorString()));
    }
    block.truncate(0); // keeps its room for the next block
}

} // namespace output
