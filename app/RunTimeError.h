#pragma once

#include <QString>

#include <stdexcept>

namespace app {

// A run-time error: its message is the description that the error report shows.
class RunTimeError : public std::runtime_error {
public:
    explicit RunTimeError(const QString& description)
        : std::runtime_error(description.toStdString()) {}
};

} // namespace app
