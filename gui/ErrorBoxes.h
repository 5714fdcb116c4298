#pragma once

#include "base/ErrorReport.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace gui {

// The window's error channel: each report is shown as the "Application Error" box (the
// warning sign, OK, the report's text with its location and line), one box at a time and
// window-modal, without a loop of its own: what reported it goes on meanwhile, and the next
// report waits for the box before it to close.
class ErrorBoxes final : public base::ErrorSink {
public:
    void setParentWindow(QWidget* parent) { parentWindow = parent; }
    void report(const QString& description, const base::ErrorLocation& where) override;
    // The boxes waiting behind the one shown, and that one.
    int waiting() const { return static_cast<int>(queued.size()) + (shown ? 1 : 0); }

private:
    void showNext();

    QPointer<QWidget> parentWindow;
    QList<QString> queued;
    QPointer<QMessageBox> shown;
};

} // namespace gui
