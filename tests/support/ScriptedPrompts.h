#pragma once

#include "base/ErrorReport.h"
#include "gui/ModalWindows.h"
#include "platform/Prompts.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <functional>

namespace testsupport {

// A prompts double: answers from queues filled by the test and records every prompt shown.
// A prompt with no answer queued is counted as unexpected and gets the cancel answer. It is
// the test's error channel too: each error report is recorded as the window shows it, a
// message titled "Application Error" with the warning sign.
class ScriptedPrompts final : public platform::Prompts,
                              public gui::ModalWindows,
                              public base::ErrorSink {
public:
    enum class Kind {
        Message,
        YesNo,
        InputBox,
        Password,
        OpenFiles,
        SaveFile,
        BrowseFolder,
        Modal
    };
    struct Shown {
        Kind kind;
        QString text; // message, question or prompt; the dialog title for file dialogs
        QString title;
        platform::MessageIcon icon = platform::MessageIcon::None;
        QString extra;          // input box default, file dialog filter, folder browser start
        bool concealed = false; // an input box that hides what is typed
    };

    // Carries the program's application title, as the window sets it at start-up.
    ScriptedPrompts();

    QQueue<bool> yesNoAnswers;
    QQueue<QString> inputAnswers;
    QQueue<platform::PasswordAnswer> passwordAnswers;
    QQueue<QStringList> openFilesAnswers;
    QQueue<QString> saveFileAnswers;
    // The filter chosen with each save answer; without one, the filter the dialog opened
    // with.
    QQueue<int> saveFilterAnswers;
    QQueue<QString> folderAnswers;
    // What the user does in a modal window of the program; the window closes afterwards.
    QQueue<std::function<void(QDialog&)>> modalActions;

    // Runs while a prompt is showing, as a user could act on the window meanwhile.
    std::function<void(const Shown&)> whileShowing;

    QList<Shown> shown;
    // Every save dialog asked for with a suggested name and folder.
    QList<platform::SaveRequest> saveRequests;
    int unexpected = 0;

    QList<Shown> ofKind(Kind kind) const;
    QList<Shown> errorReports() const;

    QStringList openFiles(const QString& title, const QString& filter) override;
    QString saveFile(const QString& title, const QString& filter) override;
    platform::SaveAnswer saveFileAs(const platform::SaveRequest& request) override;
    QString browseForFolder(const QString& prompt, const QString& initialFolder) override;
    void showModal(QDialog& dialog) override;
    void report(const QString& description, const base::ErrorLocation& where) override;

protected:
    void showMessage(const QString& text, const QString& title,
                     platform::MessageIcon icon) override;
    bool showYesNo(const QString& text, const QString& title) override;
    QString showInputBox(const QString& prompt, const QString& title, const QString& defaultText,
                         bool concealed) override;
    platform::PasswordAnswer showPasswordBox(const QString& prompt, const QString& title) override;

private:
    template <typename T> T answer(QQueue<T>& queue, const Shown& prompt);
};

} // namespace testsupport
