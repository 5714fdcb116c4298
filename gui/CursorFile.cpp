#include "gui/CursorFile.h"

#include <QFile>
#include <QPixmap>
#include <QtEndian>

namespace gui {

std::optional<QPoint> curHotSpot(const QByteArray& fileStart) {
    // ICONDIR (reserved 0, type 2 for cursors, count) then the first 16-byte entry,
    // whose bytes 4..7 hold the hot spot's x and y.
    if (fileStart.size() < 6 + 16)
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const uchar*>(fileStart.constData());
    if (qFromLittleEndian<quint16>(bytes) != 0 || qFromLittleEndian<quint16>(bytes + 2) != 2 ||
        qFromLittleEndian<quint16>(bytes + 4) == 0)
        return std::nullopt;
    return QPoint(qFromLittleEndian<quint16>(bytes + 10), qFromLittleEndian<quint16>(bytes + 12));
}

std::optional<QCursor> cursorFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.readAll();
    const std::optional<QPoint> hotSpot = curHotSpot(data);
    QPixmap picture;
    if (!picture.loadFromData(data, hotSpot ? "CUR" : nullptr) && !picture.loadFromData(data))
        return std::nullopt;
    const QPoint spot = hotSpot.value_or(QPoint(picture.width() / 2, picture.height() / 2));
    return QCursor(picture, spot.x(), spot.y());
}

} // namespace gui
