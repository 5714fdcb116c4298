#include "platform/Prompts.h"

#include <QCoreApplication>
#include <QTimer>

namespace platform {

QString Prompts::orApplicationTitle(const QString& given) const {
    return given.isEmpty() ? defaultTitle : given;
}

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

void Prompts::askPasswordLater(const QString& prompt, const QString& title,
                               std::function<void(const PasswordAnswer&)> answered) {
    showPasswordBoxLater(prompt, orApplicationTitle(title), std::move(answered));
}

SaveAnswer Prompts::saveFileAs(const SaveRequest& request) {
    return {saveFile(request.title, request.filters.join(QStringLiteral(";;"))), -1};
}

void Prompts::showPasswordBoxLater(const QString& prompt, const QString& title,
                                   std::function<void(const PasswordAnswer&)> answered) {
    const PasswordAnswer answer = showPasswordBox(prompt, title);
    QTimer::singleShot(0, QCoreApplication::instance(),
                       [answer, answered = std::move(answered)] { answered(answer); });
}

} // namespace platform
