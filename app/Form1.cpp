#include "app/Form1.h"

#include "app/ApplicationTitle.h"
#include "app/BusyState.h"
#include "app/ErrorReport.h"
#include "app/EventPump.h"
#include "app/NumberText.h"
#include "app/PathHelpers.h"
#include "app/Settings.h"
#include "app/Skin.h"
#include "platform/CursorFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QIcon>
#include <QMouseEvent>
#include <QScreen>

namespace app {

namespace {
const QString productName = QStringLiteral("Parvilon");
}

Form1::Form1(QWidget* parent) : QWidget(parent) {
    buildLayout();
    followCursorRules();
    connect(Check1, &QCheckBox::stateChanged, this,
            [this] { runHandler([this] { Check1_Click(); }); });
}

QList<QPushButton*> Form1::pushButtons() const {
    return {PushButton7, PushButton4, PushButton8,  PushButton9, PushButton6,
            PushButton3, PushButton1, PushButton13, PushButton2, PushButton5};
}

void Form1::Form_Load() {
    ErrorReport errors(QStringLiteral("Form1.Form_Load"));
    errors.step([&] { ApplySkin(*this); });
    errors.step([&] { setWindowTitle(productName); });
    errors.step([&] {
        QIcon icon;
        for (int size : {16, 32, 48, 256})
            icon.addFile(QStringLiteral(":/parvilon/parvilon-%1.png").arg(size));
        setWindowIcon(icon);
    });
    errors.step([&] { platform::setApplicationTitle(makeApplicationTitle(productName)); });
    errors.step([&] {
        const QString cursorPath = platform::programFolder() + QStringLiteral("/HAND-M.CUR");
        if (!FileIsPresent(cursorPath))
            return;
        handCursor = platform::cursorFromFile(cursorPath);
        if (!handCursor)
            throw RunTimeError(
                QStringLiteral("The cursor file %1 cannot be read as a picture.").arg(cursorPath));
    });
    errors.step([&] {
        if (ReadSetting(QStringLiteral("Snapshot"), QString()).isEmpty() && RecordSampleFiles)
            RecordSampleFiles();
    });
    errors.step([&] {
        ListView1->setHeaderLabels({QStringLiteral("PDF File(s)")});
        ListView1->header()->resizeSection(0, twips(7000));
    });
    errors.step([&] { setCheck1FromSettings(); });
}

void Form1::setCheck1FromSettings() {
    const int value =
        smallIntegerFromText(ReadSetting(QStringLiteral("Check1"), QStringLiteral("0")));
    if (value != 0 && value != 1)
        throw RunTimeError(
            QStringLiteral("Invalid property value: %1 is not a check box state.").arg(value));
    // A change of state runs Check1_Click, which writes the same value back.
    Check1->setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
}

void Form1::Check1_Click() {
    WriteSetting(QStringLiteral("Check1"),
                 Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void Form1::showCentred() {
    if (const QScreen* where = screen())
        move(where->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    show();
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing the window ends the program at once, also in the middle of a long operation.
    endProgram();
    event->accept();
}

void Form1::followCursorRules() {
    QList<QWidget*> watched = {this, Frame1, ListView1->viewport(), ListView2->viewport()};
    for (QPushButton* button : pushButtons())
        watched.append(button);
    for (QWidget* widget : watched) {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove || isBusy(this))
        return QWidget::eventFilter(watched, event);
    // A move that a control ignores comes to its parent as well; only the innermost widget
    // under the pointer decides.
    const auto* widget = static_cast<QWidget*>(watched);
    if (widget->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()) == nullptr) {
        // Buttons show the hand; the background, the frame and both lists the default.
        if (qobject_cast<QPushButton*>(watched) && handCursor)
            setCursor(*handCursor);
        else
            setCursor(Qt::ArrowCursor);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace app
