#include "app/MainWindow.h"

#include "app/ApplicationTitle.h"
#include "app/WindowPlacement.h"
#include "base/BackgroundWork.h"
#include "base/ErrorReport.h"
#include "base/NumberText.h"
#include "base/PathHelpers.h"
#include "base/Settings.h"
#include "extract/ExtractionRun.h"
#include "filelist/DroppedPaths.h"
#include "filelist/FileDialogIntake.h"
#include "filelist/FolderTree.h"
#include "filelist/SampleFiles.h"
#include "gui/CursorFile.h"
#include "gui/DragReorder.h"
#include "gui/DropIntake.h"
#include "gui/PaintPacer.h"
#include "gui/PropertyDialog.h"
#include "gui/ResultsProxy.h"
#include "gui/TextProgressBar.h"
#include "gui/WindowColours.h"
#include "platform/Folders.h"
#include "platform/Prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTreeView>

namespace app {

namespace {
const QString productName = QStringLiteral("Parvilon");
}

void MainWindow::BarProgress::setValue(int value) {
    bar->setRawValue(value);
}

int MainWindow::BarProgress::value() const {
    return bar->rawValue();
}

void MainWindow::BarProgress::setText(const QString& text) {
    bar->setText(text);
}

QString MainWindow::BarProgress::text() const {
    return bar->text();
}

MainWindow::MainWindow(const base::Services& given, gui::ModalWindows& modals, QWidget* parent)
    : QWidget(parent), services(given), modalWindows(modals) {
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window);
    ui = makeMainWindowControls(this);
    // The window opens at its designed size; its layout sets how small it may get.
    resize(designedSize());
    layout()->activate();
    drops = std::make_unique<filelist::DroppedPathsIntake>(
        files, base::ErrorReport(services.errors, QStringLiteral("Form1.ListView1_OLEDragDrop")));
    connect(drops.get(), &filelist::DroppedPathsIntake::busyChanged, this,
            [this] { showBusyState(); });
    setUpViews();
    connectHandlers();
    connectShortcuts();
    followCursorRules();
}

MainWindow::~MainWindow() {
    // What goes on ends before the models it works on go.
    run.reset();
    output.reset();
    scan.reset();
    drops.reset();
    // Nothing of the views calls back into this window once it is half destroyed (hiding
    // the views resizes the header's sections), and the views let go of the models before
    // the models go.
    QObject::disconnect(ui.results->header(), nullptr, this, nullptr);
    shown->disconnect(this);
    resultsModel.disconnect(this);
    files.disconnect(this);
    ui.results->setModel(nullptr);
    ui.fileList->setModel(nullptr);
    delete shown;
}

bool MainWindow::isBusy() const {
    return scan || run || output || (drops && drops->isBusy());
}

void MainWindow::showBusyState() {
    const bool busy = isBusy();
    if (busy == wasBusy)
        return;
    wasBusy = busy;
    setCursor(busy ? Qt::WaitCursor : Qt::ArrowCursor);
    // Stop stops a run or a folder scan; the outputs end by themselves soon enough.
    ui.stop->setEnabled(run || scan);
    emit busyChanged(busy);
}

void MainWindow::setUpViews() {
    ui.fileList->setModel(&files);
    ui.fileList->header()->setStretchLastSection(true);
    ui.fileList->setTextElideMode(Qt::ElideMiddle);
    ui.fileList->installEventFilter(this); // the Delete key
    ui.fileList->setAccessibleName(QStringLiteral("PDF files to read"));
    ui.fileList->setAccessibleDescription(
        QStringLiteral("The files the next run reads, in its order. Delete removes the "
                       "selected file."));
    resultsModel.setUnreadIcon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
    setUpResults();
}

void MainWindow::onClick(QPushButton* button, const char* location,
                         std::function<void(const base::ErrorReport&)> handler) {
    connect(button, &QPushButton::clicked, this, [this, location, handler = std::move(handler)] {
        handler(base::ErrorReport(services.errors, QLatin1String(location)));
        showBusyState();
    });
}

void MainWindow::connectHandlers() {
    onClick(ui.addFiles, "Form1.PushButton7_Click", [this](const base::ErrorReport& errors) {
        filelist::addFilesByDialog(files, services.prompts, errors);
    });
    onClick(ui.addFolder, "Form1.PushButton4_Click",
            [this](const base::ErrorReport& errors) { scanFolder(errors); });
    onClick(ui.clearList, "Form1.PushButton8_Click",
            [this](const base::ErrorReport& errors) { clearFileList(errors); });
    onClick(ui.addSamples, "Form1.PushButton9_Click", [this](const base::ErrorReport& errors) {
        errors.step([this] { filelist::loadSampleFiles(files, services); });
    });
    onClick(ui.chooseProperties, "Form1.PushButton6_Click",
            [this](const base::ErrorReport& errors) {
                gui::showPropertyDialog(modalWindows, services.folders.programFolder(), errors);
            });
    onClick(ui.startExtraction, "Form1.PushButton3_Click",
            [this](const base::ErrorReport& errors) { startExtraction(errors); });
    onClick(ui.saveText, "Form1.PushButton1_Click", [this](const base::ErrorReport& errors) {
        saveResults(errors, SaveFormat::AlignedText,
                    QString(ui.saveText->text()).remove(QLatin1Char('&')));
    });
    onClick(ui.saveWorkbook, "Form1.PushButton13_Click",
            [this](const base::ErrorReport& errors) { exportWorkbook(errors); });
    onClick(ui.copyToClipboard, "Form1.PushButton2_Click",
            [this](const base::ErrorReport& errors) { copyResults(errors); });
    onClick(ui.clearResults, "Form1.PushButton5_Click", [this](const base::ErrorReport& errors) {
        errors.step([this] { resultsModel.clearRows(); });
    });
    connect(ui.askForPasswords, &QCheckBox::stateChanged, this, [this] {
        const base::ErrorReport errors(services.errors, QStringLiteral("Form1.Check1_Click"));
        errors.step([this] {
            base::writeSetting(QStringLiteral("Check1"), ui.askForPasswords->isChecked()
                                                             ? QStringLiteral("1")
                                                             : QStringLiteral("0"));
        });
    });
    // Files and folders dropped from the desktop; reordering moves paths and starts no drag.
    new gui::DropIntake(ui.fileList, *drops);
    // A double-click anywhere on the list, rows or the empty area below them, removes the
    // selected row.
    new gui::DragReorder(ui.fileList, files, services.folders.programFolder(),
                         [this] { removeSelectedFile(); });
}

void MainWindow::removeSelectedFile() {
    // The list must not shrink under long work.
    if (!isBusy())
        files.removeAt(ui.fileList->currentIndex().row());
}

void MainWindow::connectShortcuts() {
    const auto shortcut = [this](const QKeySequence& keys, auto action) {
        auto* made = new QShortcut(keys, this);
        made->setContext(Qt::WindowShortcut);
        connect(made, &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_O), [this] { ui.addFiles->click(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), [this] { ui.addFolder->click(); });
    shortcut(QKeySequence(Qt::Key_F5), [this] { ui.startExtraction->click(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { ui.saveText->click(); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { stopWork(); });
    connect(ui.stop, &QPushButton::clicked, this, [this] { stopWork(); });
}

void MainWindow::stopWork() {
    // The run reads no further file; those being read still come, then "Done." as usual.
    if (run)
        run->stop();
    if (scan)
        scan->stop();
}

void MainWindow::clearFileList(const base::ErrorReport& errors) {
    if (!isBusy())
        errors.step([this] { files.clear(); });
}

void MainWindow::load() {
    const base::ErrorReport errors(services.errors, QStringLiteral("Form1.Form_Load"));
    const QString programFolder = services.folders.programFolder();
    errors.step([&] {
        if (gui::skinFileIsPresent(programFolder))
            gui::applyWindowColours(this);
    });
    errors.step([&] { setWindowTitle(productName); });
    errors.step([&] {
        QIcon icon;
        for (int size : {16, 32, 48, 256})
            icon.addFile(QStringLiteral(":/parvilon/parvilon-%1.png").arg(size));
        setWindowIcon(icon);
    });
    errors.step([&] { services.prompts.setApplicationTitle(makeApplicationTitle(productName)); });
    errors.step([&] {
        const QString cursorPath = programFolder + QStringLiteral("/HAND-M.CUR");
        if (!base::fileIsPresent(cursorPath))
            return;
        handCursor = gui::cursorFromFile(cursorPath);
        if (!handCursor)
            throw base::RunTimeError(
                QStringLiteral("The cursor file %1 cannot be read as a picture.").arg(cursorPath));
    });
    errors.step([&] {
        if (base::readSetting(QStringLiteral("Snapshot"), QString()).isEmpty())
            filelist::recordSampleFiles(services.folders);
    });
    errors.step([&] { files.setHeader(QStringLiteral("PDF File(s)")); });
    errors.step([&] { setPasswordOptionFromSettings(); });
    errors.step([&] {
        const QByteArray splitter = QByteArray::fromBase64(
            base::readSetting(QStringLiteral("SplitterState"), QString()).toLatin1());
        if (!splitter.isEmpty())
            ui.splitter->restoreState(splitter);
    });
}

void MainWindow::setPasswordOptionFromSettings() {
    const int value =
        base::smallIntegerFromText(base::readSetting(QStringLiteral("Check1"), QStringLiteral("0")))
            .valueOrThrow();
    if (value != 0 && value != 1)
        throw base::RunTimeError(
            QStringLiteral("Invalid property value: %1 is not a check box state.").arg(value));
    // A change of state stores the same value back.
    ui.askForPasswords->setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
}

void MainWindow::showCentred() {
    const QByteArray remembered = QByteArray::fromBase64(
        base::readSetting(QStringLiteral("WindowGeometry"), QString()).toLatin1());
    const bool restored = !remembered.isEmpty() && restoreGeometry(remembered);
    if (const QScreen* where = screen()) {
        const QRect available = where->availableGeometry();
        if (!restored)
            move(available.center() - QPoint(width() / 2, height() / 2));
        // The whole window on screen, frame included: at a large scale the designed size
        // may be taller than the screen. The frame is not known before the window manager
        // adds it; the style's title bar and border stand in for it.
        const QMargins frame = expectedFrame(style()->pixelMetric(QStyle::PM_TitleBarHeight),
                                             style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
        const QRect outer = fitWithin(QRect(pos(), size().grownBy(frame)), available);
        resize(outer.size().shrunkBy(frame));
        move(outer.topLeft()); // the frame's corner, as for any window
    }
    show();
}

void MainWindow::rememberPlacement() {
    base::writeSetting(QStringLiteral("WindowGeometry"),
                       QString::fromLatin1(saveGeometry().toBase64()));
    base::writeSetting(QStringLiteral("SplitterState"),
                       QString::fromLatin1(ui.splitter->saveState().toBase64()));
    rememberHeader();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the window ends the program at once, also in the middle of long work: every
    // tool is killed and every output file and unfinished save removed before it goes.
    // Whatever is going on may be what closes the window (from within one of its own
    // signals): it is ended now and goes from the event loop.
    if (run) {
        run->abort();
        run.release()->deleteLater();
    }
    if (output) {
        output->stop();
        output.release()->deleteLater();
    }
    if (scan) {
        scan->stop();
        scan.release()->deleteLater();
    }
    if (drops)
        drops->stop();
    pacedTable.reset();
    pacedBar.reset();
    const base::ErrorReport errors(services.errors, QStringLiteral("Form1.Form_Unload"));
    errors.step([this] { rememberPlacement(); });
    event->accept();
    QCoreApplication::quit();
}

void MainWindow::followCursorRules() {
    QList<QWidget*> watched = {this, ui.optionFrame, ui.fileList->viewport(),
                               ui.results->viewport()};
    for (QPushButton* button : ui.buttons())
        watched.append(button);
    for (QWidget* widget : watched) {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && columnsFollowView && watched == resultsViewport &&
        static_cast<QResizeEvent*>(event)->size().width() !=
            static_cast<QResizeEvent*>(event)->oldSize().width())
        fitResultColumns();
    // Keys on the lists. Compared with the kept pointers: the window may be half destroyed
    // when a view's last events arrive.
    if ((watched == ui.results || watched == ui.fileList) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            // The selection goes, unless busy.
            if (watched == ui.results)
                deleteSelectedResults();
            else
                removeSelectedFile();
            return true;
        }
        if (watched == ui.results && key->matches(QKeySequence::Copy)) {
            copySelectedResults(
                base::ErrorReport(services.errors, QStringLiteral("Form1.ListView2_KeyDown")));
            showBusyState();
            return true;
        }
        if (watched == ui.results && key->key() == Qt::Key_Space &&
            key->modifiers() == Qt::NoModifier) {
            toggleCurrentTick();
            return true;
        }
    }
    if (event->type() != QEvent::MouseMove || isBusy())
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
