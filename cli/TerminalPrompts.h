#pragma once

#include "base/ErrorReport.h"
#include "platform/Prompts.h"

#include <QString>

namespace cli {

// The prompts of the command line: messages go to the error output as one line each, and a password
// is asked on the terminal without echo; when standard input is not a terminal, one line is read
// per question, and the last line read answers every question after it. The window's dialogs have
// no place here and answer as cancelled.
class TerminalPrompts final : public platform::Prompts {
public:
    QStringList openFiles(const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return {}; }

protected:
    void showMessage(const QString& text, const QString& title, platform::MessageIcon) override;
    bool showYesNo(const QString&, const QString&) override { return false; }
    QString showInputBox(const QString&, const QString&, const QString&, bool) override {
        return {};
    }
    platform::PasswordAnswer showPasswordBox(const QString& prompt, const QString& title) override;

private:
    QString lastLine;
    bool inputEnded = false;
};

// Writes one line on the error output, after the program's name.
void printError(const QString& text);

// The command line's error channel: each error as one line on the error output.
class TerminalErrors final : public base::ErrorSink {
public:
    void report(const QString& description, const base::ErrorLocation&) override;
};

} // namespace cli
