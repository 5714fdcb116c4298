#pragma once

#include "platform/Prompts.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace gui {

// The password box of a run: the prompt, a field that hides what is typed, "Use this answer
// for all remaining files" (Alt+U), and OK, Cancel and Stop (Alt+S). Enter means OK, Escape
// means Cancel.
class PasswordBox : public QDialog {
    Q_OBJECT
public:
    PasswordBox(const QString& prompt, const QString& title, QWidget* parent = nullptr);

    // What the user answered, once the box has closed.
    platform::PasswordAnswer answer() const;

private:
    QLineEdit* field = nullptr;
    QCheckBox* forAll = nullptr;
    platform::PasswordAnswer::Choice choice = platform::PasswordAnswer::Choice::Cancel;
};

} // namespace gui
