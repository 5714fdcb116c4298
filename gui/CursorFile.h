#pragma once

#include <QCursor>
#include <QString>

#include <optional>

namespace gui {

// Loads a Windows cursor (.cur) or icon (.ico) file as a cursor. A .cur file carries its own
// hot spot; an icon's hot spot is its centre. Nothing when the file cannot be read as a
// picture.
std::optional<QCursor> cursorFromFile(const QString& path);

// The hot spot recorded in the first entry of a .cur file's directory, if it is one.
std::optional<QPoint> curHotSpot(const QByteArray& fileStart);

} // namespace gui
