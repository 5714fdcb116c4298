#include "platform/Prompts.h"

#include "platform/QtPrompts.h"

namespace platform {

namespace {
Prompts* installed = nullptr;
QString title;

QString orApplicationTitle(const QString& given) {
    return given.isEmpty() ? title : given;
}
} // namespace

void Prompts::message(const QString& text, const QString& title, MessageIcon icon) {
    showMessage(text, orApplicationTitle(title), icon);
}

bool Prompts::askYesNo(const QString& text, const QString& title) {
    return showYesNo(text, orApplicationTitle(title));
}

QString Prompts::inputBox(const QString& prompt, const QString& title, const QString& defaultText,
                          bool concealed) {
    return showInputBox(prompt, orApplicationTitle(title), defaultText, concealed);
}

PasswordAnswer Prompts::askPassword(const QString& prompt, const QString& title) {
    return showPasswordBox(prompt, orApplicationTitle(title));
}

Prompts& prompts() {
    if (installed)
        return *installed;
    static QtPrompts qtPrompts;
    return qtPrompts;
}

void installPrompts(Prompts* prompts) {
    installed = prompts;
}

QString applicationTitle() {
    return title;
}

void setApplicationTitle(const QString& newTitle) {
    title = newTitle;
}

} // namespace platform
