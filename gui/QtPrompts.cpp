#include "gui/QtPrompts.h"

#include "gui/PasswordBox.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace gui {

namespace {
QPointer<QWidget> dialogParent;

// The program's texts break lines with CR LF or CR alone; a Qt label breaks them at LF.
QString withLineFeeds(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}
} // namespace

void setDialogParent(QWidget* parent) {
    dialogParent = parent;
}

void QtPrompts::showMessage(const QString& text, const QString& title, platform::MessageIcon icon) {
    QMessageBox box(icon == platform::MessageIcon::Warning ? QMessageBox::Warning
                                                           : QMessageBox::NoIcon,
                    title, withLineFeeds(text), QMessageBox::Ok, dialogParent);
    box.exec();
}

bool QtPrompts::showYesNo(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, withLineFeeds(text),
                    QMessageBox::Yes | QMessageBox::No, dialogParent);
    return box.exec() == QMessageBox::Yes;
}

QString QtPrompts::showInputBox(const QString& prompt, const QString& title,
                                const QString& defaultText, bool concealed) {
    bool ok = false;
    const QString answer = QInputDialog::getText(
        dialogParent, title, withLineFeeds(prompt),
        concealed ? QLineEdit::Password : QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

platform::PasswordAnswer QtPrompts::showPasswordBox(const QString& prompt, const QString& title) {
    PasswordBox box(withLineFeeds(prompt), title, dialogParent);
    box.exec();
    return box.answer();
}

QStringList QtPrompts::openFiles(const QString& title, const QString& filter) {
    QFileDialog dialog(dialogParent, title, QString(), filter);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString QtPrompts::saveFile(const QString& title, const QString& filter) {
    QFileDialog dialog(dialogParent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtPrompts::browseForFolder(const QString& prompt, const QString& initialFolder) {
    return QFileDialog::getExistingDirectory(dialogParent, prompt, initialFolder,
                                             QFileDialog::ShowDirsOnly);
}

void QtPrompts::showModal(QDialog& dialog) {
    dialog.exec();
}

} // namespace gui
