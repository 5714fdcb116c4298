#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

enum class MessageIcon { None, Warning };

// The answer to the password box.
struct PasswordAnswer {
    enum class Choice { Ok, Cancel, Stop };
    Choice choice = Choice::Cancel;
    QString password;             // what was typed, with OK
    bool forAllRemaining = false; // "Use this answer for all remaining files" was ticked
};

// What a save dialog offers.
struct SaveRequest {
    QString title;
    QString folder;        // where it opens
    QString suggestedName; // the name it offers in that folder
    QStringList filters;   // "Label (*.ext)" each
    int chosenFilter = 0;  // the filter chosen when it opens
};

// What the user chose in a save dialog.
struct SaveAnswer {
    QString path;    // empty when cancelled
    int filter = -1; // the filter chosen when it closed; -1 when not known
};

// Every message box, question and file or folder dialog of the program goes through this
// interface: the window's are Qt dialogs, the command line's the terminal, and tests answer
// from a script, so that no test ever waits on a dialog.
//
// A message or question without a title of its own carries the application title.
class Prompts {
public:
    virtual ~Prompts() = default;

    // The caption of every message box and input box that names no title of its own.
    QString applicationTitle() const { return defaultTitle; }
    void setApplicationTitle(const QString& title) { defaultTitle = title; }

    // A message box with an OK button only.
    void message(const QString& text, const QString& title = {},
                 MessageIcon icon = MessageIcon::None);
    // A question with Yes and No; true for Yes.
    bool askYesNo(const QString& text, const QString& title = {});
    // An input box; returns the typed text, or an empty text when the user cancels.
    // A concealed box does not show what is typed (for passwords).
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText,
                     bool concealed = false);
    // The password box: an input box that hides what is typed, with a check box to use the
    // answer for all remaining files and a Stop button beside OK and Cancel.
    PasswordAnswer askPassword(const QString& prompt, const QString& title);
    // The same without waiting for the answer: answered is called with it once the box has
    // closed, never before this returns, so the program goes on meanwhile.
    void askPasswordLater(const QString& prompt, const QString& title,
                          std::function<void(const PasswordAnswer&)> answered);

    // Open-file dialog allowing several files; empty when cancelled.
    virtual QStringList openFiles(const QString& title, const QString& filter) = 0;
    // Save-file dialog without an overwrite question; empty when cancelled.
    virtual QString saveFile(const QString& title, const QString& filter) = 0;
    // The same with a suggested name and folder, and the filter chosen in the answer. By
    // default the plain dialog above, the folder and name left out.
    virtual SaveAnswer saveFileAs(const SaveRequest& request);
    // Folder browser opening on initialFolder; empty when cancelled.
    virtual QString browseForFolder(const QString& prompt, const QString& initialFolder) = 0;

protected:
    virtual void showMessage(const QString& text, const QString& title, MessageIcon icon) = 0;
    virtual bool showYesNo(const QString& text, const QString& title) = 0;
    virtual QString showInputBox(const QString& prompt, const QString& title,
                                 const QString& defaultText, bool concealed) = 0;
    virtual PasswordAnswer showPasswordBox(const QString& prompt, const QString& title) = 0;
    // Shows the password box and calls answered from the event loop once it has closed. By
    // default the box is shown at once and its answer handed over from the event loop.
    virtual void showPasswordBoxLater(const QString& prompt, const QString& title,
                                      std::function<void(const PasswordAnswer&)> answered);

private:
    QString orApplicationTitle(const QString& given) const;
    QString defaultTitle;
};

} // namespace platform
