#pragma once

#include <QString>

namespace platform {

// A temporary folder private to this instance of the program (mode 0700, inside the
// system's temporary folder), made on first use and removed when the program ends. The
// tool's output file lives here: a fixed path in the shared temporary folder would let
// another user plant a link there and would mix the output of two running instances.
// Empty when the folder cannot be made.
QString privateTempFolder();

} // namespace platform
