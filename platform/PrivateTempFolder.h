#pragma once

#include <QString>

#include <optional>

namespace platform {

// A temporary folder private to this instance of the program (mode 0700, inside the
// system's temporary folder), made on first use and removed when the program ends. The
// tool's output file lives here: a fixed path in the shared temporary folder would let
// another user plant a link there and would mix the output of two running instances.
// Empty when the folder cannot be made.
QString privateTempFolder();

// Tests stand in a folder of their own, or an empty text for a folder that cannot be made;
// nothing goes back to the real one.
void overridePrivateTempFolder(std::optional<QString> folder);

} // namespace platform
