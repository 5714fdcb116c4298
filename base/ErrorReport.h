#pragma once

#include "base/EventPump.h"
#include "base/RunTimeError.h"

#include <QString>

#include <source_location>

namespace base {

// The address that every error report asks the user to write to.
inline constexpr char supportAddress[] = "support@parvilon.org";

// The common error report of a handler or procedure. Its steps run one by one: a step that
// fails is reported in a warning box titled "Application Error" naming the location and the
// source line of the step, and the caller goes on with the next step, so an error never
// aborts an operation.
class ErrorReport {
public:
    // where: object and procedure, such as "Form1.PushButton3_Click", as the report shows
    // it; prefix: the module named before it.
    explicit ErrorReport(QString where, QString prefix = QStringLiteral("Lanthorn2021/08/31"));

    // Runs one step; true when it succeeded, false when it failed and was reported.
    template <typename Step>
    bool step(Step&& body, std::source_location where = std::source_location::current()) const {
        try {
            body();
            return true;
        } catch (const ProgramClosing&) {
            throw;
        } catch (const std::exception& error) {
            report(QString::fromUtf8(error.what()), where.line());
        } catch (...) {
            report(QStringLiteral("Unexpected error"), where.line());
        }
        return false;
    }

    // Shows the report for a failure at the given source line.
    void report(const QString& description, unsigned line) const;
    // The same, at the caller's line.
    void report(const QString& description,
                std::source_location where = std::source_location::current()) const {
        report(description, where.line());
    }

    // The report's text: description, CR LF, "in <module>.<location> ", "at line <line>",
    // two CR, and the request to write to the support address.
    static QString reportText(const QString& description, const QString& module,
                              const QString& location, unsigned line);

private:
    QString location;
    QString module;
};

} // namespace base
