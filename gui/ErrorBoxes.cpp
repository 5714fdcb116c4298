#include "gui/ErrorBoxes.h"

#include <QMessageBox>

namespace gui {

void ErrorBoxes::report(const QString& description, const base::ErrorLocation& where) {
    QString text = base::ErrorReport::reportText(description, where);
    // The report breaks lines with CR LF and CR; a Qt label breaks them at LF.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    queued.append(text);
    if (!shown)
        showNext();
}

void ErrorBoxes::showNext() {
    if (queued.isEmpty())
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Application Error"),
                                queued.takeFirst(), QMessageBox::Ok, parentWindow);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QDialog::finished, box, [this] {
        shown = nullptr;
        showNext();
    });
    shown = box;
    box->open();
}

} // namespace gui
