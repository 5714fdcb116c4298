#include "platform/CursorFile.h"
#include "platform/DateTimeFormats.h"
#include "platform/PaintPacer.h"
#include "platform/PasswordBox.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"
#include "platform/TextProgressBar.h"
#include "tests/support/TestMain.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <ctime>

using testsupport::ScriptedPrompts;

class PlatformTest : public QObject {
    Q_OBJECT
private slots:
    void promptsWithoutTitleCarryTheApplicationTitle() {
        ScriptedPrompts prompts;
        platform::setApplicationTitle(QStringLiteral("Parvilon"));
        platform::prompts().message(QStringLiteral("No files added."));
        platform::prompts().message(QStringLiteral("x"), QStringLiteral("Own Title"),
                                    platform::MessageIcon::Warning);
        prompts.yesNoAnswers.enqueue(true);
        QVERIFY(platform::prompts().askYesNo(QStringLiteral("Open?")));
        prompts.inputAnswers.enqueue(QStringLiteral("pdf"));
        QCOMPARE(platform::prompts().inputBox(QStringLiteral("Ext"), {}, QStringLiteral("d")),
                 QStringLiteral("pdf"));

        QCOMPARE(prompts.shown.size(), 4);
        QCOMPARE(prompts.shown[0].title, QStringLiteral("Parvilon"));
        QCOMPARE(prompts.shown[0].icon, platform::MessageIcon::None);
        QCOMPARE(prompts.shown[1].title, QStringLiteral("Own Title"));
        QCOMPARE(prompts.shown[1].icon, platform::MessageIcon::Warning);
        QCOMPARE(prompts.shown[2].title, QStringLiteral("Parvilon"));
        QCOMPARE(prompts.shown[3].title, QStringLiteral("Parvilon"));
        QCOMPARE(prompts.shown[3].extra, QStringLiteral("d"));
        QCOMPARE(prompts.unexpected, 0);
    }

    // The password box by keyboard: what is typed stays hidden, Alt+U ticks "for all
    // remaining files", Enter is OK, Escape is Cancel, Alt+S is Stop.
    void passwordBoxAnswersByKeyboard_data() {
        QTest::addColumn<QList<QKeyCombination>>("keys"); // after typing "secret"
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("forAll");
        using Choice = platform::PasswordAnswer::Choice;
        using Keys = QList<QKeyCombination>;
        QTest::newRow("Enter") << Keys{Qt::Key_Return} << int(Choice::Ok) << "secret" << false;
        QTest::newRow("Alt+U, Enter")
            << Keys{Qt::ALT | Qt::Key_U, Qt::Key_Return} << int(Choice::Ok) << "secret" << true;
        QTest::newRow("Escape") << Keys{Qt::Key_Escape} << int(Choice::Cancel) << "" << false;
        QTest::newRow("Alt+U, Escape")
            << Keys{Qt::ALT | Qt::Key_U, Qt::Key_Escape} << int(Choice::Cancel) << "" << true;
        QTest::newRow("Alt+S") << Keys{Qt::ALT | Qt::Key_S} << int(Choice::Stop) << "" << false;
    }
    void passwordBoxAnswersByKeyboard() {
        QFETCH(QList<QKeyCombination>, keys);
        QFETCH(int, choice);
        QFETCH(QString, password);
        QFETCH(bool, forAll);
        platform::PasswordBox box(QStringLiteral("Enter password"),
                                  QStringLiteral("Input Password"));
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        auto* field = box.findChild<QLineEdit*>(QStringLiteral("password"));
        QVERIFY(field && field->hasFocus());
        QCOMPARE(field->echoMode(), QLineEdit::Password);
        // Through the window, as the desktop delivers keys, so mnemonics take effect.
        QTest::keyClicks(field, QStringLiteral("secret"));
        QCOMPARE(field->text(), QStringLiteral("secret"));
        for (const QKeyCombination key : keys)
            QTest::keyClick(&box, key.key(), key.keyboardModifiers());
        QTRY_VERIFY(!box.isVisible()); // a button's mnemonic clicks it a moment later
        const platform::PasswordAnswer answer = box.answer();
        QCOMPARE(int(answer.choice), choice);
        QCOMPARE(answer.password, password);
        QCOMPARE(answer.forAllRemaining, forAll);
    }

    void progressBarShowsItsTextLiterally() {
        platform::TextProgressBar bar;
        bar.setText(QStringLiteral("Processing: 100%p %v %m %%.pdf"));
        bar.setRawValue(42);
        QCOMPARE(bar.text(), QStringLiteral("Processing: 100%p %v %m %%.pdf"));
    }

    void progressBarKeepsValuesOutsideItsRangeButDrawsThemClamped() {
        platform::TextProgressBar bar;
        bar.setRawValue(190);
        QCOMPARE(bar.rawValue(), 190);
        QCOMPARE(bar.value(), 100);
        bar.setRawValue(-5);
        QCOMPARE(bar.rawValue(), -5);
        QCOMPARE(bar.value(), 0);
        bar.setRawValue(57);
        QCOMPARE(bar.value(), 57);
    }

    void cursorFilesCarryTheirHotSpot() {
        const QString assets = testsupport::sourceDir() + QStringLiteral("/assets/");
        QFile hand(assets + QStringLiteral("HAND-M.CUR"));
        QVERIFY(hand.open(QIODevice::ReadOnly));
        QCOMPARE(platform::curHotSpot(hand.readAll()), QPoint(5, 1));

        const auto handCursor = platform::cursorFromFile(hand.fileName());
        QVERIFY(handCursor.has_value());
        QCOMPARE(handCursor->hotSpot(), QPoint(5, 1));
        QCOMPARE(handCursor->pixmap().size(), QSize(32, 32));

        // An icon is no cursor file; its hot spot is its centre.
        QFile icon(assets + QStringLiteral("drag.ico"));
        QVERIFY(icon.open(QIODevice::ReadOnly));
        QCOMPARE(platform::curHotSpot(icon.readAll()), std::nullopt);
        const auto dragCursor = platform::cursorFromFile(icon.fileName());
        QVERIFY(dragCursor.has_value());
        QCOMPARE(dragCursor->hotSpot(), QPoint(16, 16));
    }

    void unreadableCursorFilesGiveNoCursor() {
        QCOMPARE(platform::curHotSpot(QByteArray("\0\0\2\0", 4)), std::nullopt);
        QTemporaryDir folder;
        const QString broken = folder.filePath(QStringLiteral("HAND-M.CUR"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // A cursor directory whose image data is missing.
        file.write(QByteArray("\0\0\2\0\1\0 \0\0\0\5\0\1\0\0\1\0\0\26\0\0\0", 22));
        file.close();
        QVERIFY(!platform::cursorFromFile(broken).has_value());
        QVERIFY(!platform::cursorFromFile(folder.filePath(QStringLiteral("missing.cur"))));
    }

    // The pacer holds back a widget and everything in it: the run paces the whole results
    // table, whose rows are painted by a child (the viewport) and whose scroll bars are
    // children too.
    void pacedWidgetsPaintAFewTimesASecond() {
        struct Counted : QWidget {
            using QWidget::QWidget;
            int paints = 0;
            void paintEvent(QPaintEvent*) override { ++paints; }
        };
        QWidget table;
        auto* rows = new Counted(&table);
        table.resize(50, 20);
        rows->resize(50, 20);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        {
            platform::PaintPacer pacer(&table, 100);
            const int before = rows->paints;
            QElapsedTimer clock;
            clock.start();
            for (int i = 0; i < 50; ++i) { // a change every 10 ms
                rows->update();
                QTest::qWait(10);
            }
            // A few paints per 100 ms that passed (re-enabling the parent also queues one for
            // each child), not one per change.
            const int paced = rows->paints - before;
            const qint64 ticks = clock.elapsed() / 100;
            QVERIFY2(
                paced >= 1 && paced <= 2 * (ticks + 1) && paced < 25,
                qPrintable(QStringLiteral("%1 paints in %2 ms").arg(paced).arg(clock.elapsed())));
            QVERIFY(!rows->updatesEnabled());
        }
        QVERIFY(rows->updatesEnabled());
        const int before = rows->paints;
        rows->update();
        QTRY_VERIFY(rows->paints > before);
    }

    // Every locale Qt knows: the zone name goes, quoted text or not, and the hours,
    // minutes and seconds stay.
    void longTimeHasNoZoneNameInAnyLocale() {
        qputenv("TZ", "Asia/Tokyo");
        tzset();
        const QTime time(14, 30, 5);
        const QString zone = QLocale::c().toString(time, QStringLiteral("t"));
        QVERIFY(!zone.isEmpty());
        const auto timeLetters = [](const QString& format) {
            QString letters;
            bool quoted = false;
            for (const QChar c : format) {
                if (c == QLatin1Char('\''))
                    quoted = !quoted;
                else if (!quoted && QStringLiteral("Hhms").contains(c))
                    letters += c;
            }
            return letters;
        };
        const auto locales = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                      QLocale::AnyTerritory);
        int withZone = 0;
        for (const QLocale& locale : locales) {
            const QString original = locale.timeFormat(QLocale::LongFormat);
            const QString format = platform::longTimeFormatWithoutZone(locale);
            const QString text = locale.toString(time, format);
            withZone += locale.toString(time, original).contains(zone);
            QVERIFY2(!text.contains(zone), qPrintable(locale.name() + ": " + text));
            QCOMPARE(timeLetters(format), timeLetters(original));
            for (const QString& leftover : {QStringLiteral("()"), QStringLiteral("[]")})
                QVERIFY2(!text.contains(leftover), qPrintable(locale.name() + ": " + text));
            QVERIFY2(!text.endsWith(QLatin1Char(',')) && !text.endsWith(QLatin1Char(' ')),
                     qPrintable(locale.name() + ": " + text));
        }
        QVERIFY2(withZone > 0, "no locale names the zone: the check would prove nothing");
    }

    void programFolderCanBeOverriddenAndRestored() {
        const QString real = platform::programFolder();
        QCOMPARE(real, QCoreApplication::applicationDirPath());
        {
            testsupport::ProgramFolder folder;
            QCOMPARE(platform::programFolder(), folder.path());
        }
        QCOMPARE(platform::programFolder(), real);
    }
};

PARVILON_TEST_MAIN(PlatformTest)
#include "tst_platform.moc"
