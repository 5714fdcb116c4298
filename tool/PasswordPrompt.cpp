#include "tool/PasswordPrompt.h"

#include <termios.h>
#include <unistd.h>

namespace pdfinfodump {

std::string readPasswordLine(std::FILE* in) {
    std::string line;
    int c = 0;
    while ((c = std::getc(in)) != EOF && c != '\n') {
        if (line.size() < maxPasswordBytes) {
            line += static_cast<char>(c);
        }
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

std::string promptForPassword(const std::string& inputPath) {
    if (!::isatty(STDIN_FILENO)) {
        return readPasswordLine(stdin);
    }
    std::fprintf(stderr, "Password for %s: ", inputPath.c_str());
    std::fflush(stderr);
    termios saved{};
    const bool canHideTyping = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (canHideTyping) {
        termios hidden = saved;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    std::string password = readPasswordLine(stdin);
    if (canHideTyping) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    }
    std::fputc('\n', stderr);
    return password;
}

} // namespace pdfinfodump
