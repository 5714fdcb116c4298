#include "platform/Prompts.h"

namespace platform {

namespace {
Prompts* installed = nullptr;
QString title;

// Prompts that nobody answers: what a program without a window gets unless it installs its own.
class UnansweredPrompts final : public Prompts {
public:
    QStringList openFiles(const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return {}; }

protected:
    void showMessage(const QString&, const QString&, MessageIcon) override {}
    bool showYesNo(const QString&, const QString&) override { return false; }
    QString showInputBox(const QString&, const QString&, const QString&, bool) override {
        return {};
    }
    PasswordAnswer showPasswordBox(const QString&, const QString&) override { return {}; }
};

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
    static UnansweredPrompts unanswered;
    return unanswered;
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
