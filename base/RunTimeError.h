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

// Thrown out of a long operation that was asked to stop (StopRequest): it passes through
// every error report's step, so the operation ends there.
class Stopped : public RunTimeError {
public:
    Stopped() : RunTimeError(QStringLiteral("Stopped.")) {}
};

} // namespace base
