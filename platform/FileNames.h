#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

// File names as the system keeps them are bytes; the program holds them as text. Names in
// UTF-8 read as their characters; each byte that is not part of valid UTF-8 reads as one of
// the code units U+DC80 to U+DCFF, which no valid text holds, and turns back into the same
// byte. So every name the system gives can be shown, carried to the tool and opened again,
// whatever its bytes.
QString decodeFileName(QByteArrayView bytes);
QByteArray encodeFileName(const QString& name);

// True when the name holds bytes that are not valid UTF-8 (shown as replacement marks).
bool hasUndecodableBytes(const QString& name);

} // namespace platform
