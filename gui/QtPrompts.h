#pragma once

#include "gui/ModalWindows.h"
#include "platform/Prompts.h"

#include <QPointer>
#include <QWidget>

namespace gui {

// The prompts of the running program: Qt's message boxes, input dialog and file dialogs,
// each modal over the window they belong to (setParentWindow).
class QtPrompts final : public platform::Prompts, public ModalWindows {
public:
    // The window the dialogs are centred on and modal over (the main window).
    void setParentWindow(QWidget* parent) { parentWindow = parent; }

    QStringList openFiles(const QString& title, const QString& filter) override;
    QString saveFile(const QString& title, const QString& filter) override;
    platform::SaveAnswer saveFileAs(const platform::SaveRequest& request) override;
    QString browseForFolder(const QString& prompt, const QString& initialFolder) override;
    void showModal(QDialog& dialog) override;

protected:
    void showMessage(const QString& text, const QString& title,
                     platform::MessageIcon icon) override;
    bool showYesNo(const QString& text, const QString& title) override;
    QString showInputBox(const QString& prompt, const QString& title, const QString& defaultText,
                         bool concealed) override;
    platform::PasswordAnswer showPasswordBox(const QString& prompt, const QString& title) override;
    // The password box, window-modal without a loop of its own: the program goes on while
    // it is open.
    void
    showPasswordBoxLater(const QString& prompt, const QString& title,
                         std::function<void(const platform::PasswordAnswer&)> answered) override;

private:
    QPointer<QWidget> parentWindow;
};

} // namespace gui
