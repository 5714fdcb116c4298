// The main window's controls and how they are laid out.
#include "app/MainWindowLayout.h"

#include "gui/CaptionFrame.h"
#include "gui/ListView.h"
#include "gui/TextProgressBar.h"
#include "gui/Twips.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>

namespace app {

using gui::twips;

namespace {

constexpr int designedWidth = 8040;
constexpr int designedHeight = 8385;
// Both lists were designed 1815 twips high; the file list gives some of it to the filter
// and status line above and below the results, which take any height beyond.
constexpr int fileListHeight = 1215;
constexpr int resultsHeight = 1815;

gui::ListView* makeList(QWidget* parent, const char* name, const QString& tooltip,
                        int heightTwips) {
    auto* list = new gui::ListView(parent);
    list->setObjectName(QLatin1String(name));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setPreferredHeight(twips(heightTwips));
    list->setToolTip(tooltip);
    return list;
}

// A part of the splitter: a widget whose layout has no margins of its own.
QVBoxLayout* splitterPart(QSplitter* splitter) {
    auto* part = new QWidget(splitter);
    auto* layout = new QVBoxLayout(part);
    layout->setContentsMargins(0, 0, 0, 0);
    splitter->addWidget(part);
    return layout;
}

QGridLayout* twoByTwo(QPushButton* topLeft, QPushButton* topRight, QPushButton* bottomLeft,
                      QPushButton* bottomRight) {
    auto* grid = new QGridLayout;
    grid->addWidget(topLeft, 0, 0);
    grid->addWidget(topRight, 0, 1);
    grid->addWidget(bottomLeft, 1, 0);
    grid->addWidget(bottomRight, 1, 1);
    return grid;
}

} // namespace

QList<QPushButton*> MainWindowControls::buttons() const {
    return {addFiles,         addFolder,       clearList, addSamples,
            chooseProperties, startExtraction, saveText,  saveWorkbook,
            copyToClipboard,  clearResults,    stop};
}

QSize designedSize() {
    return {twips(designedWidth), twips(designedHeight)};
}

MainWindowControls makeMainWindowControls(QWidget* window) {
    QFont windowFont(QStringLiteral("Arial"));
    windowFont.setPointSizeF(9);
    windowFont.setBold(true);
    window->setFont(windowFont);

    QFont buttonFont = windowFont;
    buttonFont.setPointSizeF(11.25);
    // Each caption carries its mnemonic (&); Enter presses the button that has the focus.
    auto button = [&](const char* name, const QString& caption, const QString& tip) {
        auto* pushButton = new QPushButton(caption, window);
        pushButton->setObjectName(QLatin1String(name));
        pushButton->setFont(buttonFont);
        pushButton->setAutoDefault(true);
        pushButton->setToolTip(tip);
        return pushButton;
    };

    MainWindowControls c;
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(twips(120), twips(120), twips(120), twips(120));
    c.splitter = new QSplitter(Qt::Vertical, window);
    c.splitter->setObjectName(QStringLiteral("Splitter"));
    c.splitter->setChildrenCollapsible(false);
    outer->addWidget(c.splitter, 1);

    // The file list and what fills it and starts the run.
    QVBoxLayout* top = splitterPart(c.splitter);
    c.fileList = makeList(window, "ListView1",
                          QStringLiteral("Drag and drop files here. Double-click item to remove "
                                         "it. Move | line to right and out of window to reveal "
                                         "full names."),
                          fileListHeight);
    top->addWidget(c.fileList, 1);
    c.addFiles = button("PushButton7", QStringLiteral("1. Add PDF &File(s)"),
                        QStringLiteral("Choose PDF files to add to the list (Ctrl+O)"));
    c.addFolder =
        button("PushButton4", QStringLiteral("1. Add &All PDF File(s) In Folder"),
               QStringLiteral("Add every PDF file of a folder and its subfolders (Ctrl+Shift+O)"));
    c.clearList = button("PushButton8", QStringLiteral("C&lear List"),
                         QStringLiteral("Remove every file from the list"));
    c.addSamples = button("PushButton9", QStringLiteral("Load Sa&mple/Example Files"),
                          QStringLiteral("Add the example PDF files that come with the program"));
    top->addLayout(twoByTwo(c.addFiles, c.addFolder, c.clearList, c.addSamples));
    c.chooseProperties =
        button("PushButton6", QStringLiteral("&2. Choose PDF Properties To Extract"),
               QStringLiteral("Choose which properties become columns of the results"));
    top->addWidget(c.chooseProperties);
    c.startExtraction = button("PushButton3", QStringLiteral("&3. Start Extracting"),
                               QStringLiteral("Read the properties of every listed file (F5)"));
    top->addWidget(c.startExtraction);
    c.optionFrame = new gui::CaptionFrame(QStringLiteral("Option"), window);
    c.optionFrame->setObjectName(QStringLiteral("Frame1"));
    c.askForPasswords = new QCheckBox(
        QStringLiteral("&Prompt for password because PDF files are password protected"),
        c.optionFrame);
    c.askForPasswords->setObjectName(QStringLiteral("Check1"));
    auto* option = new QVBoxLayout(c.optionFrame);
    option->setContentsMargins(twips(240), twips(30), twips(120), twips(60));
    option->addWidget(c.askForPasswords);
    top->addWidget(c.optionFrame);

    // The results, how to narrow them down, and the ways out.
    QVBoxLayout* bottom = splitterPart(c.splitter);
    auto* filterRow = new QHBoxLayout;
    auto* filterLabel = new QLabel(QStringLiteral("F&ilter:"), window);
    c.filter = new QLineEdit(window);
    c.filter->setObjectName(QStringLiteral("ResultsFilter"));
    c.filter->setClearButtonEnabled(true);
    c.filter->setPlaceholderText(QStringLiteral("Show rows containing this text"));
    filterLabel->setBuddy(c.filter);
    c.onlyUnread = new QCheckBox(QStringLiteral("Only files that could &not be read"), window);
    c.onlyUnread->setObjectName(QStringLiteral("OnlyUnreadFiles"));
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(c.filter, 1);
    filterRow->addWidget(c.onlyUnread);
    bottom->addLayout(filterRow);
    c.results =
        makeList(window, "ListView2",
                 QStringLiteral("Move | line to right and out of window to reveal full names."),
                 resultsHeight);
    bottom->addWidget(c.results, 1);
    c.status = new QLabel(window);
    c.status->setObjectName(QStringLiteral("StatusLine"));
    c.status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    bottom->addWidget(c.status);
    c.saveText = button("PushButton1", QStringLiteral("4. Save Results As &Text File"),
                        QStringLiteral("Save the ticked rows as shown in a file: aligned text, "
                                       "comma-separated values or a workbook (Ctrl+S)"));
    c.saveWorkbook =
        button("PushButton13", QStringLiteral("4. Save Results As E&xcel File"),
               QStringLiteral("Open the ticked rows as shown in the spreadsheet application"));
    c.copyToClipboard = button("PushButton2", QStringLiteral("&Copy Results To Clipboard"),
                               QStringLiteral("Put the ticked rows as shown on the clipboard"));
    c.clearResults = button("PushButton5", QStringLiteral("Clear &Results"),
                            QStringLiteral("Remove every row of the results"));
    bottom->addLayout(twoByTwo(c.saveText, c.saveWorkbook, c.copyToClipboard, c.clearResults));

    // Progress of whatever goes on, and the way to stop it.
    auto* progressRow = new QHBoxLayout;
    c.progress = new gui::TextProgressBar(window);
    c.progress->setObjectName(QStringLiteral("ProgressBar1"));
    c.progress->setText(QStringLiteral("Progress Bar"));
    c.stop = button("StopButton", QStringLiteral("&Stop"),
                    QStringLiteral("Stop the run, keeping the rows read so far (Escape)"));
    c.stop->setEnabled(false);
    progressRow->addWidget(c.progress, 1);
    progressRow->addWidget(c.stop);
    outer->addLayout(progressRow);

    // The results' part takes any height beyond the design's.
    c.splitter->setStretchFactor(0, 0);
    c.splitter->setStretchFactor(1, 1);

    // Tab follows the screen: top left to bottom right.
    const QList<QWidget*> tabOrder = {
        c.fileList,     c.addFiles,         c.addFolder,       c.clearList,
        c.addSamples,   c.chooseProperties, c.startExtraction, c.askForPasswords,
        c.filter,       c.onlyUnread,       c.results,         c.saveText,
        c.saveWorkbook, c.copyToClipboard,  c.clearResults,    c.stop};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    return c;
}

} // namespace app
