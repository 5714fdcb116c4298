// The main window's controls and where they go, in twips as the window was designed.
#include "app/MainWindowLayout.h"

#include "gui/CaptionFrame.h"
#include "gui/ListView.h"
#include "gui/TextProgressBar.h"
#include "gui/Twips.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>

namespace app {

using gui::twips;
using gui::twipsRect;

namespace {

constexpr int designedWidth = 8040;
constexpr int designedHeight = 8385;

QPalette whitePalette(QPalette palette) {
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Button, Qt::white);
    return palette;
}

QTreeView* makeList(QWidget* parent, const char* name, const QString& tooltip) {
    auto* list = new gui::ListView(parent);
    list->setObjectName(QLatin1String(name));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    // Columns keep the width they are given; the user drags the dividers to see more.
    list->header()->setStretchLastSection(false);
    list->setToolTip(tooltip);
    return list;
}

// How a control follows a larger window: across (the full width, the left or the right
// column of buttons) and down (the first list, between the lists, the second list, below
// it).
enum class Across { Full, Left, Right };
enum class Down { FirstList, Middle, SecondList, Bottom };

struct Placement {
    QWidget* widget;
    QRect design; // in twips
    Across across;
    Down down;
};

QList<Placement> placements(const MainWindowControls& c) {
    return {
        {c.fileList, {120, 120, 7800, 1815}, Across::Full, Down::FirstList},
        {c.addFiles, {120, 2040, 3840, 405}, Across::Left, Down::Middle},
        {c.addFolder, {4080, 2040, 3840, 405}, Across::Right, Down::Middle},
        {c.clearList, {120, 2550, 3840, 405}, Across::Left, Down::Middle},
        {c.addSamples, {4080, 2550, 3840, 405}, Across::Right, Down::Middle},
        {c.chooseProperties, {120, 3075, 7800, 405}, Across::Full, Down::Middle},
        {c.startExtraction, {120, 3600, 7800, 405}, Across::Full, Down::Middle},
        {c.optionFrame, {120, 4065, 7800, 735}, Across::Full, Down::Middle},
        {c.results, {120, 4905, 7800, 1815}, Across::Full, Down::SecondList},
        {c.saveText, {120, 6810, 3840, 405}, Across::Left, Down::Bottom},
        {c.saveWorkbook, {4080, 6810, 3840, 405}, Across::Right, Down::Bottom},
        {c.copyToClipboard, {120, 7335, 3840, 405}, Across::Left, Down::Bottom},
        {c.clearResults, {4080, 7335, 3840, 405}, Across::Right, Down::Bottom},
        {c.progress, {120, 7860, 7800, 405}, Across::Full, Down::Bottom},
    };
}

} // namespace

QList<QPushButton*> MainWindowControls::buttons() const {
    return {addFiles,        addFolder, clearList,    addSamples,      chooseProperties,
            startExtraction, saveText,  saveWorkbook, copyToClipboard, clearResults};
}

QSize designedSize() {
    return {twips(designedWidth), twips(designedHeight)};
}

MainWindowControls makeMainWindowControls(QWidget* window) {
    window->setPalette(whitePalette(window->palette()));
    window->setAutoFillBackground(true);
    QFont windowFont(QStringLiteral("Arial"));
    windowFont.setPointSizeF(9);
    windowFont.setBold(true);
    window->setFont(windowFont);

    QFont buttonFont = windowFont;
    buttonFont.setPointSizeF(11.25);
    auto button = [&](const char* name, const QString& caption) {
        auto* pushButton = new QPushButton(caption, window);
        pushButton->setObjectName(QLatin1String(name));
        pushButton->setFont(buttonFont);
        pushButton->setAutoDefault(false);
        return pushButton;
    };

    MainWindowControls c;
    c.fileList = makeList(window, "ListView1",
                          QStringLiteral("Drag and drop files here. Double-click item to remove "
                                         "it. Move | line to right and out of window to reveal "
                                         "full names."));
    c.addFiles = button("PushButton7", QStringLiteral("1. Add PDF File(s)"));
    c.addFolder = button("PushButton4", QStringLiteral("1. Add All PDF File(s) In Folder"));
    c.clearList = button("PushButton8", QStringLiteral("Clear List"));
    c.addSamples = button("PushButton9", QStringLiteral("Load Sample/Example Files"));
    c.chooseProperties =
        button("PushButton6", QStringLiteral("2. Choose PDF Properties To Extract"));
    c.startExtraction = button("PushButton3", QStringLiteral("3. Start Extracting"));

    c.optionFrame = new gui::CaptionFrame(QStringLiteral("Option"), window);
    c.optionFrame->setObjectName(QStringLiteral("Frame1"));
    c.optionFrame->setAutoFillBackground(true);
    c.askForPasswords = new QCheckBox(
        QStringLiteral("Prompt for password because PDF files are password protected"),
        c.optionFrame);
    c.askForPasswords->setObjectName(QStringLiteral("Check1"));
    c.askForPasswords->setGeometry(twipsRect(240, 300, 6015, 255));
    c.askForPasswords->setAutoFillBackground(true);

    c.results =
        makeList(window, "ListView2",
                 QStringLiteral("Move | line to right and out of window to reveal full names."));
    c.saveText = button("PushButton1", QStringLiteral("4. Save Results As Text File"));
    c.saveWorkbook = button("PushButton13", QStringLiteral("4. Save Results As Excel File"));
    c.copyToClipboard = button("PushButton2", QStringLiteral("Copy Results To Clipboard"));
    c.clearResults = button("PushButton5", QStringLiteral("Clear Results"));

    c.progress = new gui::TextProgressBar(window);
    c.progress->setObjectName(QStringLiteral("ProgressBar1"));
    c.progress->setText(QStringLiteral("Progress Bar"));

    // Keyboard order of the design: list, add buttons, properties, start, results, outputs,
    // option, clear and samples last.
    const QList<QWidget*> tabOrder = {
        c.fileList,        c.addFiles,  c.addFolder,    c.chooseProperties, c.startExtraction,
        c.results,         c.saveText,  c.saveWorkbook, c.askForPasswords,  c.clearResults,
        c.copyToClipboard, c.clearList, c.addSamples};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    placeMainWindowControls(c, designedSize());
    return c;
}

int fileListColumnWidth(QSize size) {
    return twips(7000) + std::max(0, size.width() - designedSize().width());
}

void placeMainWindowControls(const MainWindowControls& controls, QSize size) {
    controls.fileList->header()->resizeSection(0, fileListColumnWidth(size));
    const int wider = std::max(0, size.width() - designedSize().width());
    const int taller = std::max(0, size.height() - designedSize().height());
    const int firstListGrows = taller / 2;
    for (const Placement& place : placements(controls)) {
        QRect at = twipsRect(place.design.x(), place.design.y(), place.design.width(),
                             place.design.height());
        switch (place.across) {
        case Across::Full:
            at.setWidth(at.width() + wider);
            break;
        case Across::Left:
            at.setWidth(at.width() + wider / 2);
            break;
        case Across::Right:
            at.translate(wider / 2, 0);
            at.setWidth(at.width() + wider - wider / 2);
            break;
        }
        switch (place.down) {
        case Down::FirstList:
            at.setHeight(at.height() + firstListGrows);
            break;
        case Down::Middle:
            at.translate(0, firstListGrows);
            break;
        case Down::SecondList:
            at.translate(0, firstListGrows);
            at.setHeight(at.height() + taller - firstListGrows);
            break;
        case Down::Bottom:
            at.translate(0, taller);
            break;
        }
        place.widget->setGeometry(at);
    }
}

} // namespace app
