#include "tests/support/ScriptedPrompts.h"

#include <QDialog>

namespace testsupport {

ScriptedPrompts::ScriptedPrompts() {
    setApplicationTitle(QStringLiteral("Parvilon"));
}

void ScriptedPrompts::report(const QString& description, const base::ErrorLocation& where) {
    showMessage(base::ErrorReport::reportText(description, where),
                QStringLiteral("Application Error"), platform::MessageIcon::Warning);
}

template <typename T> T ScriptedPrompts::answer(QQueue<T>& queue, const Shown& prompt) {
    shown.append(prompt);
    if (whileShowing)
        whileShowing(prompt);
    if (queue.isEmpty()) {
        ++unexpected;
        qWarning("a prompt no test answered: %s", qPrintable(prompt.text));
        return T{};
    }
    return queue.dequeue();
}

QList<ScriptedPrompts::Shown> ScriptedPrompts::ofKind(Kind kind) const {
    QList<Shown> found;
    for (const Shown& prompt : shown)
        if (prompt.kind == kind)
            found.append(prompt);
    return found;
}

QList<ScriptedPrompts::Shown> ScriptedPrompts::errorReports() const {
    QList<Shown> found;
    for (const Shown& prompt : ofKind(Kind::Message))
        if (prompt.title == QLatin1String("Application Error"))
            found.append(prompt);
    return found;
}

void ScriptedPrompts::showMessage(const QString& text, const QString& title,
                                  platform::MessageIcon icon) {
    shown.append({Kind::Message, text, title, icon, {}});
    if (whileShowing)
        whileShowing(shown.constLast());
}

bool ScriptedPrompts::showYesNo(const QString& text, const QString& title) {
    return answer(yesNoAnswers, {Kind::YesNo, text, title, {}, {}});
}

QString ScriptedPrompts::showInputBox(const QString& prompt, const QString& title,
                                      const QString& defaultText, bool concealed) {
    return answer(inputAnswers, {Kind::InputBox, prompt, title, {}, defaultText, concealed});
}

platform::PasswordAnswer ScriptedPrompts::showPasswordBox(const QString& prompt,
                                                          const QString& title) {
    return answer(passwordAnswers, {Kind::Password, prompt, title, {}, {}, true});
}

QStringList ScriptedPrompts::openFiles(const QString& title, const QString& filter) {
    return answer(openFilesAnswers, {Kind::OpenFiles, title, {}, {}, filter});
}

QString ScriptedPrompts::saveFile(const QString& title, const QString& filter) {
    return answer(saveFileAnswers, {Kind::SaveFile, title, {}, {}, filter});
}

platform::SaveAnswer ScriptedPrompts::saveFileAs(const platform::SaveRequest& request) {
    saveRequests.append(request);
    platform::SaveAnswer given;
    given.path =
        answer(saveFileAnswers,
               {Kind::SaveFile, request.title, {}, {}, request.filters.join(QStringLiteral(";;"))});
    given.filter = saveFilterAnswers.isEmpty() ? request.chosenFilter : saveFilterAnswers.dequeue();
    return given;
}

QString ScriptedPrompts::browseForFolder(const QString& prompt, const QString& initialFolder) {
    return answer(folderAnswers, {Kind::BrowseFolder, prompt, {}, {}, initialFolder});
}

void ScriptedPrompts::showModal(QDialog& dialog) {
    const auto action = answer(modalActions, {Kind::Modal, dialog.windowTitle(), {}, {}, {}});
    dialog.show();
    if (action)
        action(dialog);
    dialog.close();
}

} // namespace testsupport
