#include "gui/QtPrompts.h"

#include "gui/PasswordBox.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace gui {

namespace {
// The program's texts break lines with CR LF or CR alone; a Qt label breaks them at LF.
QString withLineFeeds(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}
} // namespace

void QtPrompts::showMessage(const QString& text, const QString& title, platform::MessageIcon icon) {
    QMessageBox box(icon == platform::MessageIcon::Warning ? QMessageBox::Warning
                                                           : QMessageBox::NoIcon,
                    title, withLineFeeds(text), QMessageBox::Ok, parentWindow);
    box.exec();
}

bool QtPrompts::showYesNo(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, withLineFeeds(text),
                    QMessageBox::Yes | QMessageBox::No, parentWindow);
    return box.exec() == QMessageBox::Yes;
}

QString QtPrompts::showInputBox(const QString& prompt, const QString& title,
                                const QString& defaultText, bool concealed) {
    bool ok = false;
    const QString answer = QInputDialog::getText(
        parentWindow, title, withLineFeeds(prompt),
        concealed ? QLineEdit::Password : QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

platform::PasswordAnswer QtPrompts::showPasswordBox(const QString& prompt, const QString& title) {
    PasswordBox box(withLineFeeds(prompt), title, parentWindow);
    box.exec();
    return box.answer();
}

void QtPrompts::showPasswordBoxLater(
    const QString& prompt, const QString& title,
    std::function<void(const platform::PasswordAnswer&)> answered) {
    auto* box = new PasswordBox(withLineFeeds(prompt), title, parentWindow);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QDialog::finished, box,
                     [box, answered = std::move(answered)] { answered(box->answer()); });
    box->open();
}

QStringList QtPrompts::openFiles(const QString& title, const QString& filter) {
    QFileDialog dialog(parentWindow, title, QString(), filter);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString QtPrompts::saveFile(const QString& title, const QString& filter) {
    QFileDialog dialog(parentWindow, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

platform::SaveAnswer QtPrompts::saveFileAs(const platform::SaveRequest& request) {
    QFileDialog dialog(parentWindow, request.title, request.folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks before replacing a file, once it knows the name with its extension.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilters(request.filters);
    if (request.chosenFilter >= 0 && request.chosenFilter < request.filters.size())
        dialog.selectNameFilter(request.filters[request.chosenFilter]);
    if (!request.suggestedName.isEmpty())
        dialog.selectFile(request.suggestedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().constFirst(),
            static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter()))};
}

QString QtPrompts::browseForFolder(const QString& prompt, const QString& initialFolder) {
    return QFileDialog::getExistingDirectory(parentWindow, prompt, initialFolder,
                                             QFileDialog::ShowDirsOnly);
}

void QtPrompts::showModal(QDialog& dialog) {
    dialog.exec();
}

} // namespace gui
