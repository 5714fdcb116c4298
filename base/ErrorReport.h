#pragma once

#include "base/RunTimeError.h"

#include <QList>
#include <QString>

#include <mutex>
#include <source_location>

namespace base {

// The address that every error report asks the user to write to.
inline constexpr char supportAddress[] = "support@parvilon.org";

// Where an error happened: the module, the object and procedure ("Form1.PushButton3_Click")
// and the source line of the step that failed.
struct ErrorLocation {
    QString module;
    QString procedure;
    unsigned line = 0;
};

// The one channel for errors: the window shows each as the "Application Error" box, the
// command line prints it as one line, tests record it.
class ErrorSink {
public:
    virtual ~ErrorSink() = default;
    virtual void report(const QString& description, const ErrorLocation& where) = 0;
};

// Errors kept to be reported later, from another thread: long work in a thread of its own
// reports here, and its reports go on to the window's sink from the event loop.
class CollectedErrors final : public ErrorSink {
public:
    void report(const QString& description, const ErrorLocation& where) override;
    // Hands every report kept so far on to sink, in order.
    void passOn(ErrorSink& sink);

private:
    struct Kept {
        QString description;
        ErrorLocation where;
    };
    std::mutex mutex;
    QList<Kept> kept;
};

// The error report of a handler or procedure. Its steps run one by one: a step that fails is
// reported to the sink, named by the location and the source line of the step, and the caller
// goes on with the next step, so an error never aborts an operation.
class ErrorReport {
public:
    // procedure: object and procedure, such as "Form1.PushButton3_Click"; module: the module
    // named before it.
    ErrorReport(ErrorSink& sink, QString procedure,
                QString module = QStringLiteral("Lanthorn2021/08/31"));

    // Runs one step; true when it succeeded, false when it failed and was reported.
    template <typename Step>
    bool step(Step&& body, std::source_location where = std::source_location::current()) const {
        try {
            body();
            return true;
        } catch (const Stopped&) {
            throw;
        } catch (const std::exception& error) {
            report(QString::fromUtf8(error.what()), where.line());
        } catch (...) {
            report(QStringLiteral("Unexpected error"), where.line());
        }
        return false;
    }

    // Reports a failure at the given source line.
    void report(const QString& description, unsigned line) const;
    // The same, at the caller's line.
    void report(const QString& description,
                std::source_location where = std::source_location::current()) const {
        report(description, where.line());
    }

    ErrorSink& sink() const { return *errors; }
    // The same sink, for another procedure of the same module.
    ErrorReport renamed(const QString& otherProcedure) const {
        ErrorReport copy = *this;
        copy.procedure = otherProcedure;
        return copy;
    }
    // The same report, to another sink.
    ErrorReport reportingTo(ErrorSink& other) const {
        ErrorReport copy = *this;
        copy.errors = &other;
        return copy;
    }

    // The report's text as the window shows it: description, CR LF, "in <module>.<procedure>
    // ", "at line <line>", two CR, and the request to write to the support address.
    static QString reportText(const QString& description, const ErrorLocation& where);

private:
    ErrorSink* errors;
    QString procedure;
    QString module;
};

} // namespace base
