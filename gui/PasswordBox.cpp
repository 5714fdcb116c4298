#include "gui/PasswordBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace gui {

PasswordBox::PasswordBox(const QString& prompt, const QString& title, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("PasswordBox"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(prompt, this);
    label->setWordWrap(false);
    layout->addWidget(label);
    field = new QLineEdit(this);
    field->setObjectName(QStringLiteral("password"));
    field->setEchoMode(QLineEdit::Password);
    layout->addWidget(field);
    forAll = new QCheckBox(QStringLiteral("&Use this answer for all remaining files"), this);
    forAll->setObjectName(QStringLiteral("forAllRemaining"));
    layout->addWidget(forAll);
    // A button's own mnemonic clicks it a tenth of a second later, after an Enter typed
    // right behind Alt+U would already have closed the box: this one ticks it at once.
    forAll->setShortcut(QKeySequence());
    auto* tick = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_U), this);
    connect(tick, &QShortcut::activated, forAll, &QCheckBox::toggle);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* stop = buttons->addButton(QStringLiteral("&Stop"), QDialogButtonBox::ActionRole);
    stop->setObjectName(QStringLiteral("stop"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        choice = platform::PasswordAnswer::Choice::Ok;
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject); // Cancel, Escape
    connect(stop, &QPushButton::clicked, this, [this] {
        choice = platform::PasswordAnswer::Choice::Stop;
        reject();
    });
    field->setFocus();
}

platform::PasswordAnswer PasswordBox::answer() const {
    platform::PasswordAnswer given;
    given.choice = choice;
    if (choice == platform::PasswordAnswer::Choice::Ok)
        given.password = field->text();
    given.forAllRemaining = forAll->isChecked();
    return given;
}

} // namespace gui
