#pragma once

#include "base/RunTimeError.h"

#include <QString>

#include <utility>
#include <variant>

namespace base {

// What a pure function returns when it can fail: its value, or the description of why there
// is none. Inside a handler's step, valueOrThrow() turns a failure into the step's error.
template <typename T> class Result {
public:
    Result(T value) : content(std::move(value)) {} // NOLINT: a value converts implicitly
    static Result failure(QString description) {
        Result result;
        result.content = Failure{std::move(description)};
        return result;
    }

    bool ok() const { return std::holds_alternative<T>(content); }
    // The value; only when ok().
    const T& value() const { return std::get<T>(content); }
    // Why there is no value; empty when ok().
    QString error() const { return ok() ? QString() : std::get<Failure>(content).description; }
    const T& valueOrThrow() const {
        if (!ok())
            throw RunTimeError(error());
        return value();
    }

private:
    struct Failure {
        QString description;
    };
    Result() = default;
    std::variant<Failure, T> content;
};

// What a function that gives nothing back returns when it can fail: success, or the
// description of why it failed.
class Status {
public:
    static Status success() { return Status(); }
    static Status failure(QString description) {
        Status status;
        status.description = std::move(description);
        status.failed = true;
        return status;
    }
    bool ok() const { return !failed; }
    // Why it failed; empty when ok().
    const QString& error() const { return description; }
    void orThrow() const {
        if (failed)
            throw RunTimeError(description);
    }

private:
    Status() = default;
    QString description;
    bool failed = false;
};

} // namespace base
