#include "base/ErrorReport.h"
#include "base/Properties.h"
#include "base/Settings.h"
#include "gui/Mnemonics.h"
#include "gui/PropertyDialog.h"
#include "tests/support/TestMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QPushButton>

using testsupport::ScriptedPrompts;

namespace {
const QStringList allProperties = {
    "PDF Version", "Producer",        "Creator",       "Title",        "Author",       "Subject",
    "Keywords",    "Number Of Pages", "Date Modified", "Date Created", "Date Accessed"};

// The header row a run starts with for the choices stored now.
QStringList headerRow(base::ErrorSink& sink) {
    const base::ErrorReport errors(sink, QStringLiteral("Form1.PushButton3_Click"));
    return base::headerRow(base::chosenColumns(errors));
}

QString stored(int column) {
    return base::readSetting(QStringLiteral("Column%1").arg(column), QStringLiteral("missing"));
}
} // namespace

class PropertySetTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        testsupport::clearSettings();
        prompts.shown.clear();
        prompts.unexpected = 0;
        folders = std::make_unique<testsupport::TestFolders>();
    }

    void freshSettingsChooseEveryProperty() {
        QCOMPARE(headerRow(prompts), QStringList{"Filename"} + allProperties);
    }

    void storedChoicesShapeTheHeaderRow_data() {
        QTest::addColumn<QStringList>("values"); // Column1..Column11
        QTest::addColumn<QStringList>("headers");
        QTest::newRow("none chosen") << QStringList(11, "0") << QStringList{"Filename"};
        QStringList some(11, "0");
        some[1] = "1";
        some[7] = "1";
        QTest::newRow("producer and pages")
            << some << QStringList{"Filename", "Producer", "Number Of Pages"};
        QStringList numeric(11, "0");
        numeric[0] = "1.0";
        numeric[3] = " 1";
        numeric[4] = "2";
        QTest::newRow("read as a number")
            << numeric << QStringList{"Filename", "PDF Version", "Title"};
    }
    void storedChoicesShapeTheHeaderRow() {
        QFETCH(QStringList, values);
        QFETCH(QStringList, headers);
        for (int i = 0; i < 11; ++i)
            base::writeSetting(QStringLiteral("Column%1").arg(i + 1), values[i]);
        QCOMPARE(headerRow(prompts), headers);
    }

    void aValueThatIsNoNumberIsReportedAndCountsAsChosen() {
        for (int i = 1; i <= 11; ++i)
            base::writeSetting(QStringLiteral("Column%1").arg(i), QStringLiteral("0"));
        base::writeSetting(QStringLiteral("Column4"), QStringLiteral("yes"));
        QCOMPARE(headerRow(prompts), (QStringList{"Filename", "Title"}));
        QCOMPARE(prompts.errorReports().size(), 1);
        QVERIFY(prompts.errorReports()[0].text.contains(
            QStringLiteral("in Lanthorn2021/08/31.Form1.PushButton3_Click at line ")));
    }

    // A box for every property of the registry, the texts of the document's information on
    // the left, the rest on the right; each with a mnemonic of its own; the dialog as large
    // as its boxes need and no larger.
    void dialogLaysOutItsBoxes() {
        gui::PropertyDialog dialog(folders->programFolder(), prompts);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("PDF Properties"));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(QString(dialog.boxForKey("Column8")->text()).remove('&'),
                 QStringLiteral("Number of Pages"));
        QCOMPARE(QString(dialog.closeButton()->text()).remove('&'), QStringLiteral("Close"));
        const QRect producer = dialog.boxForKey("Column2")->geometry();
        const QRect keywords = dialog.boxForKey("Column7")->geometry();
        const QRect pages = dialog.boxForKey("Column8")->geometry();
        const QRect version = dialog.boxForKey("Column1")->geometry();
        QVERIFY(keywords.top() > producer.top() && keywords.left() == producer.left());
        QVERIFY(pages.left() > producer.right() && pages.top() == producer.top());
        QVERIFY(version.left() == pages.left() && version.top() > pages.top());
        QSet<QChar> mnemonics;
        for (const auto& property : base::properties()) {
            QCheckBox* box = dialog.findChild<QCheckBox*>(QLatin1String(property.checkBox));
            QVERIFY(box);
            QCOMPARE(QString(box->text()).remove('&'), QString::fromUtf8(property.caption));
            QCOMPARE(dialog.boxForKey(QLatin1String(property.settingsKey)), box);
            QVERIFY(!box->isChecked());
            // The whole caption is shown.
            QVERIFY(box->width() >= box->sizeHint().width());
            mnemonics.insert(gui::mnemonicOf(box->text()));
        }
        mnemonics.insert(gui::mnemonicOf(dialog.closeButton()->text()));
        QCOMPARE(mnemonics.size(), base::properties().size() + 1);
        QVERIFY(!mnemonics.contains(QChar()));
    }

    // Left to right or mirrored, no box or button overlaps another and all are inside.
    void noControlOverlapsAnother_data() {
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::newRow("left to right") << Qt::LeftToRight;
        QTest::newRow("right to left") << Qt::RightToLeft;
    }
    void noControlOverlapsAnother() {
        QFETCH(Qt::LayoutDirection, direction);
        QApplication::setLayoutDirection(direction);
        gui::PropertyDialog dialog(folders->programFolder(), prompts);
        dialog.load();
        dialog.show();
        QApplication::setLayoutDirection(Qt::LeftToRight);
        QList<QWidget*> controls;
        for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
            controls.append(button);
        const auto placeOf = [&](QWidget* widget) {
            return QRect(widget->mapTo(&dialog, QPoint(0, 0)), widget->size());
        };
        for (QWidget* control : controls) {
            QVERIFY(dialog.rect().contains(placeOf(control)));
            for (QWidget* other : controls)
                QVERIFY2(other == control || !placeOf(control).intersects(placeOf(other)),
                         qPrintable(control->objectName() + " overlaps " + other->objectName()));
        }
        QCOMPARE(placeOf(dialog.boxForKey("Column8")).x() <
                     placeOf(dialog.boxForKey("Column2")).x(),
                 direction == Qt::RightToLeft);
    }

    void mnemonicsAreUniqueAndKeepAmpersands_data() {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QStringList>("marked");
        QTest::newRow("first letters")
            << QStringList{"Title", "Author"} << QString() << QStringList{"&Title", "&Author"};
        QTest::newRow("a word's start before any letter")
            << QStringList{"Date Created", "Date Modified"} << QString()
            << QStringList{"&Date Created", "Date &Modified"};
        QTest::newRow("any letter when the starts are taken")
            << QStringList{"Tab", "Tub"} << QString("t") << QStringList{"T&ab", "T&ub"};
        QTest::newRow("a literal ampersand")
            << QStringList{"Q&A"} << QString("q") << QStringList{"Q&&&A"};
        QTest::newRow("nothing free") << QStringList{"ab"} << QString("ab") << QStringList{"ab"};
    }
    void mnemonicsAreUniqueAndKeepAmpersands() {
        QFETCH(QStringList, captions);
        QFETCH(QString, taken);
        QFETCH(QStringList, marked);
        QCOMPARE(gui::withMnemonics(captions, taken), marked);
    }

    void openingOnFreshSettingsTicksAndStoresEveryBox() {
        gui::PropertyDialog dialog(folders->programFolder(), prompts);
        dialog.load();
        for (int i = 1; i <= 11; ++i) {
            QVERIFY(dialog.boxForKey(QStringLiteral("Column%1").arg(i))->isChecked());
            QCOMPARE(stored(i), QStringLiteral("1"));
        }
        // The dialog takes the button face, with or without a skin file.
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        QCOMPARE(dialog.palette().color(QPalette::Window), buttonFace);
        QCOMPARE(dialog.boxForKey("Column4")->palette().color(QPalette::Window), buttonFace);
        QCOMPARE(dialog.closeButton()->palette().color(QPalette::Button), buttonFace);
    }

    // What is painted, not the palette: each box's background matches the grey around it.
    void theBoxesArePaintedInTheButtonFace() {
        gui::PropertyDialog dialog(folders->programFolder(), prompts);
        dialog.load();
        const QImage painted = dialog.grab().toImage();
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        QCOMPARE(painted.pixelColor(2, 2), buttonFace);
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
            // The right end of a box, beyond its caption, and its top row.
            const QPoint inside = box->mapTo(&dialog, QPoint(box->width() - 3, 1));
            QVERIFY2(
                painted.pixelColor(inside) == buttonFace,
                qPrintable(box->objectName() + " is painted " + painted.pixelColor(inside).name()));
        }
    }

    void onlyTheExactTextOneTicksABox() {
        base::writeSetting(QStringLiteral("Column1"), QStringLiteral("1.0"));
        base::writeSetting(QStringLiteral("Column2"), QStringLiteral(" 1"));
        base::writeSetting(QStringLiteral("Column3"), QStringLiteral("0"));
        base::writeSetting(QStringLiteral("Column4"), QStringLiteral("junk"));
        gui::PropertyDialog dialog(folders->programFolder(), prompts);
        dialog.load();
        QVERIFY(!dialog.boxForKey("Column1")->isChecked());
        QVERIFY(!dialog.boxForKey("Column2")->isChecked());
        QVERIFY(!dialog.boxForKey("Column3")->isChecked());
        QVERIFY(!dialog.boxForKey("Column4")->isChecked());
        QVERIFY(dialog.boxForKey("Column5")->isChecked());
        // Unticked boxes do not rewrite their keys.
        QCOMPARE(stored(1), QStringLiteral("1.0"));
        QCOMPARE(stored(2), QStringLiteral(" 1"));
        QCOMPARE(stored(4), QStringLiteral("junk"));
        // The run still counts the first two as chosen.
        const QStringList headers = headerRow(prompts);
        QVERIFY(headers.contains("PDF Version"));
        QVERIFY(headers.contains("Producer"));
        QVERIFY(!headers.contains("Creator"));
        QVERIFY(headers.contains("Title"));
        QCOMPARE(prompts.errorReports().size(), 1);
    }

    void everyClickStoresItsChoice() {
        gui::PropertyDialog dialog(folders->programFolder(), prompts);
        dialog.load();
        dialog.show();
        QTest::mouseClick(dialog.boxForKey("Column8"), Qt::LeftButton);
        QCOMPARE(stored(8), QStringLiteral("0"));
        QVERIFY(!headerRow(prompts).contains("Number Of Pages"));
        QTest::mouseClick(dialog.boxForKey("Column8"), Qt::LeftButton);
        QCOMPARE(stored(8), QStringLiteral("1"));
        QTest::mouseClick(dialog.boxForKey("Column1"), Qt::LeftButton);
        QCOMPARE(stored(1), QStringLiteral("0"));
    }

    void theButtonOpensTheDialogModally() {
        prompts.modalActions.enqueue([](QDialog& dialog) {
            auto& form = static_cast<gui::PropertyDialog&>(dialog);
            QVERIFY(form.isVisible());
            QVERIFY(form.boxForKey("Column4")->isChecked());
            // The user clicks while the button's own click is still being handled.
            form.boxForKey("Column4")->click();
        });
        gui::showPropertyDialog(
            prompts, folders->programFolder(),
            base::ErrorReport(prompts, QStringLiteral("Form1.PushButton6_Click")));
        QCOMPARE(prompts.ofKind(ScriptedPrompts::Kind::Modal).size(), 1);
        QCOMPARE(prompts.ofKind(ScriptedPrompts::Kind::Modal)[0].text,
                 QStringLiteral("PDF Properties"));
        QCOMPARE(stored(4), QStringLiteral("0"));
        QCOMPARE(prompts.unexpected, 0);
    }

    void closeButtonShowsTheHand() {
        folders->addSideFile(QStringLiteral("HAND-M.CUR"));
        gui::PropertyDialog dialog(folders->programFolder(), prompts);
        dialog.load();
        QVERIFY(dialog.customCursor().has_value());
        QMouseEvent over(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(dialog.closeButton(), &over);
        QCOMPARE(dialog.cursor().shape(), Qt::BitmapCursor);
        QApplication::sendEvent(dialog.boxForKey("Column7"), &over);
        QCOMPARE(dialog.cursor().shape(), Qt::ArrowCursor);
    }

private:
    // The error channel and the modal windows of every case; a case's reports are its own.
    ScriptedPrompts prompts;
    std::unique_ptr<testsupport::TestFolders> folders;
};

PARVILON_TEST_MAIN(PropertySetTest)
#include "tst_propertydialog.moc"
