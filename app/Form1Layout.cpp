// The fixed layout of the main window, in twips as it was designed.
#include "app/Form1.h"
#include "platform/CaptionFrame.h"

#include <QHeaderView>

namespace app {

int twips(int value) {
    return qRound(value / 15.0);
}

namespace {

QRect twipsRect(int left, int top, int width, int height) {
    return {twips(left), twips(top), twips(width), twips(height)};
}

QPalette whitePalette(QPalette palette) {
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Button, Qt::white);
    return palette;
}

QTreeWidget* makeList(QWidget* parent, const char* name, const QString& tooltip,
                      const QRect& geometry) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setColumnCount(0);
    list->setHeaderLabels({});
    // Columns keep the width they are given; the user drags the dividers to see more.
    list->header()->setStretchLastSection(false);
    list->setToolTip(tooltip);
    list->setGeometry(geometry);
    return list;
}

} // namespace

void Form1::buildLayout() {
    setObjectName(QStringLiteral("Form1"));
    setFixedSize(twips(8040), twips(8385));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint);
    setPalette(whitePalette(palette()));
    setAutoFillBackground(true);
    QFont windowFont(QStringLiteral("Arial"));
    windowFont.setPointSizeF(9);
    windowFont.setBold(true);
    setFont(windowFont);

    QFont buttonFont = windowFont;
    buttonFont.setPointSizeF(11.25);
    auto button = [&](const char* name, const QString& caption, const QRect& geometry) {
        auto* pushButton = new QPushButton(caption, this);
        pushButton->setObjectName(QLatin1String(name));
        pushButton->setFont(buttonFont);
        pushButton->setGeometry(geometry);
        pushButton->setAutoDefault(false);
        return pushButton;
    };

    ListView1 = makeList(this, "ListView1",
                         QStringLiteral("Drag and drop files here. Double-click item to remove "
                                        "it. Move | line to right and out of window to reveal "
                                        "full names."),
                         twipsRect(120, 120, 7800, 1815));
    PushButton7 = button("PushButton7", QStringLiteral("1. Add PDF File(s)"),
                         twipsRect(120, 2040, 3840, 405));
    PushButton4 = button("PushButton4", QStringLiteral("1. Add All PDF File(s) In Folder"),
                         twipsRect(4080, 2040, 3840, 405));
    PushButton8 =
        button("PushButton8", QStringLiteral("Clear List"), twipsRect(120, 2550, 3840, 405));
    PushButton9 = button("PushButton9", QStringLiteral("Load Sample/Example Files"),
                         twipsRect(4080, 2550, 3840, 405));
    PushButton6 = button("PushButton6", QStringLiteral("2. Choose PDF Properties To Extract"),
                         twipsRect(120, 3075, 7800, 405));
    PushButton3 = button("PushButton3", QStringLiteral("3. Start Extracting"),
                         twipsRect(120, 3600, 7800, 405));

    Frame1 = new platform::CaptionFrame(QStringLiteral("Option"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twipsRect(120, 4065, 7800, 735));
    Frame1->setAutoFillBackground(true);
    Check1 = new QCheckBox(
        QStringLiteral("Prompt for password because PDF files are password protected"), Frame1);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(twipsRect(240, 300, 6015, 255));
    Check1->setAutoFillBackground(true);

    ListView2 =
        makeList(this, "ListView2",
                 QStringLiteral("Move | line to right and out of window to reveal full names."),
                 twipsRect(120, 4905, 7800, 1815));
    PushButton1 = button("PushButton1", QStringLiteral("4. Save Results As Text File"),
                         twipsRect(120, 6810, 3840, 405));
    PushButton13 = button("PushButton13", QStringLiteral("4. Save Results As Excel File"),
                          twipsRect(4080, 6810, 3840, 405));
    PushButton2 = button("PushButton2", QStringLiteral("Copy Results To Clipboard"),
                         twipsRect(120, 7335, 3840, 405));
    PushButton5 =
        button("PushButton5", QStringLiteral("Clear Results"), twipsRect(4080, 7335, 3840, 405));

    ProgressBar1 = new platform::TextProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(twipsRect(120, 7860, 7800, 405));
    ProgressBar1->setText(QStringLiteral("Progress Bar"));

    // Keyboard order of the design: list, add buttons, properties, start, results, outputs,
    // option, clear and samples last.
    const QList<QWidget*> tabOrder = {
        ListView1,    PushButton7, PushButton4, PushButton6, PushButton3, ListView2,  PushButton1,
        PushButton13, Check1,      PushButton5, PushButton2, PushButton8, PushButton9};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

} // namespace app
