#include "cli/TerminalPrompts.h"

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace cli {

namespace {

// A line read from standard input, without its line break; nothing at the end of input.
std::optional<QString> readLine() {
    QByteArray line;
    for (int c = std::getchar(); c != '\n'; c = std::getchar()) {
        if (c == EOF)
            return line.isEmpty() ? std::nullopt : std::optional<QString>(QString::fromUtf8(line));
        line.append(static_cast<char>(c));
    }
    return QString::fromUtf8(line);
}

// Turns the terminal's echo off while alive.
class EchoOff {
public:
    EchoOff() {
        if (::tcgetattr(STDIN_FILENO, &saved) != 0)
            return;
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        active = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (active)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios saved{};
    bool active = false;
};

QString oneLine(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String(" "))
        .replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

} // namespace

void printError(const QString& text) {
    std::fprintf(stderr, "parvilon-cli: %s\n", qPrintable(text));
}

void TerminalErrors::report(const QString& description, const base::ErrorLocation&) {
    printError(oneLine(description));
}

void TerminalPrompts::showMessage(const QString& text, const QString&, platform::MessageIcon) {
    printError(oneLine(text));
}

platform::PasswordAnswer TerminalPrompts::showPasswordBox(const QString& prompt, const QString&) {
    platform::PasswordAnswer answer;
    answer.choice = platform::PasswordAnswer::Choice::Ok;
    if (::isatty(STDIN_FILENO)) {
        std::fprintf(
            stderr, "%s ",
            qPrintable(QString(prompt).replace(QLatin1String("\r\n"), QLatin1String("\n"))));
        std::fflush(stderr);
        const EchoOff quiet;
        answer.password = readLine().value_or(QString());
        std::fputc('\n', stderr);
        return answer;
    }
    if (!inputEnded) {
        if (const std::optional<QString> line = readLine())
            lastLine = *line;
        else
            inputEnded = true;
    }
    answer.password = lastLine;
    answer.forAllRemaining = inputEnded;
    return answer;
}

} // namespace cli
