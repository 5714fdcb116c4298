#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <initializer_list>

class QIODevice;

namespace output {

// Records (lines) written to a device in blocks of about a mebibyte: a write per line would
// cost more than the lines themselves. A block holds whole records, so what reached a device
// that refused a write ends with a whole one. A write the device refuses throws RunTimeError
// with the reason.
class BlockWriter {
public:
    explicit BlockWriter(QIODevice& device);
    // One record, made of its parts.
    void addRecord(std::initializer_list<QByteArrayView> parts) {
        for (const QByteArrayView part : parts)
            block += part;
        if (block.size() >= blockSize)
            flush();
    }
    // Writes what waits; called once more at the end.
    void flush();

private:
    static constexpr qsizetype blockSize = 1 << 20;
    QIODevice& device;
    QByteArray block;
};

} // namespace output
