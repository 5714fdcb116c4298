#pragma once

#include <QString>

#include <stdexcept>

namespace base {

// A run-time error inside a handler's step: its message is the description the error
// report shows.
class RunTimeError : public std::runtime_error {
public:
    explicit RunTimeError(const QString& description)
        : std::runtime_error(description.toStdString()) {}
};

} // namespace base
