// Text reads on its background under a light and a dark palette, with and without the skin
// file's button face: measured on what is painted (a ratio of at least 4.5 between the
// glyphs and what is around them), in both lists and their headers, every button, the labels
// and check boxes, in the window and the property dialog. Run a second time under the
// desktop's own theme (GTK's Adwaita dark, when its Qt platform theme is installed).
#include "gui/PropertyDialog.h"
#include "gui/TextProgressBar.h"
#include "gui/WindowColours.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTreeView>

namespace {

QPalette darkPalette() {
    QPalette dark;
    const QColor window(53, 53, 53), base(35, 35, 35), text(230, 230, 230);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, QColor(60, 60, 60));
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::PlaceholderText, QColor(160, 160, 160));
    dark.setColor(QPalette::Light, QColor(80, 80, 80));
    dark.setColor(QPalette::Midlight, QColor(70, 70, 70));
    dark.setColor(QPalette::Mid, QColor(40, 40, 40));
    dark.setColor(QPalette::Dark, QColor(25, 25, 25));
    dark.setColor(QPalette::Shadow, Qt::black);
    return dark;
}

// The contrast of text painted in area: the most common colour there is its background, the
// pixel that differs most from it is the core of a glyph.
double paintedContrast(const QImage& image, const QRect& area) {
    QHash<QRgb, int> counts;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, gui::contrastRatio(QColor(background), QColor(it.key())));
    return best;
}

// Where a widget's text is painted, in its own coordinates.
QRect textArea(QWidget* widget) {
    if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(check);
        option.text = check->text();
        return check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check);
    }
    if (auto* frame = qobject_cast<QGroupBox*>(widget))
        return QStyle::visualRect(frame->layoutDirection(), frame->rect(),
                                  {0, 0,
                                   frame->fontMetrics().horizontalAdvance(frame->title()) + 16,
                                   frame->fontMetrics().height()});
    QString text;
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        text = button->text();
    else if (auto* label = qobject_cast<QLabel*>(widget))
        text = label->text();
    else if (auto* bar = qobject_cast<gui::TextProgressBar*>(widget))
        text = bar->text();
    const QSize size = widget->fontMetrics().size(Qt::TextShowMnemonic, text);
    // A label aligns its text by the text's own direction.
    if (qobject_cast<QLabel*>(widget))
        return QStyle::alignedRect(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight,
                                   Qt::AlignLeft | Qt::AlignVCenter, size, widget->rect());
    return QStyle::alignedRect(widget->layoutDirection(), Qt::AlignCenter, size, widget->rect());
}

void checkWidget(QWidget* widget, const char* what) {
    const QImage painted = widget->grab().toImage();
    const double contrast = paintedContrast(painted, textArea(widget));
    QVERIFY2(contrast >= 4.5,
             qPrintable(QStringLiteral("%1 %2: %3").arg(what, widget->objectName()).arg(contrast)));
}

// The first cell and the header of a list.
void checkList(QTreeView* list) {
    list->clearSelection();
    list->selectionModel()->clearCurrentIndex();
    const QImage painted = list->grab().toImage();
    const QPoint viewport = list->viewport()->mapTo(list, QPoint(0, 0));
    QRect cell = list->visualRect(list->model()->index(0, 0)).translated(viewport);
    cell.setLeft(cell.left() + cell.height() + 4); // past the check box and the sign
    QVERIFY2(paintedContrast(painted, cell) >= 4.5, qPrintable(list->objectName() + " cell"));
    QHeaderView* header = list->header();
    // The half of the first section where its text begins.
    const QRect whole(header->mapTo(list, QPoint(header->sectionViewportPosition(0) + 2, 2)),
                      QSize(header->sectionSize(0) - 4, header->height() - 4));
    const QRect section =
        QStyle::visualRect(list->layoutDirection(), whole,
                           QRect(whole.topLeft(), QSize(whole.width() / 2, whole.height())));
    QVERIFY2(paintedContrast(painted, section) >= 4.5, qPrintable(list->objectName() + " header"));
}

} // namespace

class WindowContrastTest : public QObject {
    Q_OBJECT
private slots:
    void init() { testsupport::clearSettings(); }

    void textReadsOnItsBackground_data() {
        QTest::addColumn<QString>("palette");
        QTest::addColumn<bool>("skin");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        const bool desktop = qEnvironmentVariableIsSet("PARVILON_DESKTOP_THEME");
        for (const char* palette :
             desktop ? QList<const char*>{"desktop"} : QList<const char*>{"light", "dark"})
            for (const bool skin : {false, true})
                QTest::addRow("%s%s", palette, skin ? ", skin" : "")
                    << QString(palette) << skin << Qt::LeftToRight;
        if (!desktop)
            QTest::addRow("light, right to left") << QString("light") << false << Qt::RightToLeft;
    }
    void textReadsOnItsBackground() {
        QFETCH(QString, palette);
        QFETCH(bool, skin);
        QFETCH(Qt::LayoutDirection, direction);
        QApplication::setLayoutDirection(direction);
        const auto restore = qScopeGuard([] { QApplication::setLayoutDirection(Qt::LeftToRight); });
        if (palette == "desktop") {
            // GTK's dark theme, through Qt's GTK platform theme, as a desktop would set it.
            if (QApplication::palette().color(QPalette::Window).lightness() > 128)
                QSKIP("the desktop's dark theme did not load: Qt's GTK platform theme "
                      "(qt6-gtk-platformtheme) or GTK's Adwaita theme is missing");
        } else {
            QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
            QApplication::setPalette(palette == "dark" ? darkPalette()
                                                       : QApplication::style()->standardPalette());
        }
        testsupport::TestServices services;
        if (skin)
            services.folders.writeFile(QStringLiteral("x/o.cjs"), "skin");
        auto window = testsupport::makeMainWindow(services);
        window->show();
        window->fileList().append({QStringLiteral("/docs/report.pdf")});
        window->results().setColumns({base::Property::Title});
        window->results().setCell(window->results().appendRow("/docs/report.pdf"), 1, "Title");
        QCoreApplication::processEvents();
        const auto& c = window->controls();
        checkList(c.fileList);
        checkList(c.results);
        for (QPushButton* button : c.buttons())
            if (button->isEnabled())
                checkWidget(button, "button");
        checkWidget(c.askForPasswords, "check box");
        checkWidget(c.onlyUnread, "check box");
        checkWidget(c.optionFrame, "frame");
        checkWidget(c.status, "label");
        checkWidget(c.progress, "progress bar");

        gui::PropertyDialog dialog(services.folders.programFolder(), services.prompts);
        dialog.load();
        dialog.show();
        QCoreApplication::processEvents();
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
            checkWidget(box, "dialog's box");
        for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
            checkWidget(group, "dialog's group");
        checkWidget(dialog.closeButton(), "dialog's button");
    }
};

PARVILON_TEST_MAIN(WindowContrastTest)
#include "tst_windowcontrast.moc"
