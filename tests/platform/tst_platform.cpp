#include "base/CellText.h"
#include "extract/FileDates.h"
#include "gui/CursorFile.h"
#include "gui/ListView.h"
#include "gui/PaintPacer.h"
#include "gui/PasswordBox.h"
#include "gui/TextProgressBar.h"
#include "platform/DateTimeFormats.h"
#include "platform/FileEntry.h"
#include "platform/FileNames.h"
#include "platform/Folders.h"
#include "platform/Prompts.h"
#include "tests/support/TestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <sys/stat.h>
#include <utime.h>

using testsupport::ScriptedPrompts;

class PlatformTest : public QObject {
    Q_OBJECT
private slots:
    void promptsWithoutTitleCarryTheApplicationTitle() {
        ScriptedPrompts prompts;
        prompts.setApplicationTitle(QStringLiteral("Parvilon"));
        prompts.message(QStringLiteral("No files added."));
        prompts.message(QStringLiteral("x"), QStringLiteral("Own Title"),
                        platform::MessageIcon::Warning);
        prompts.yesNoAnswers.enqueue(true);
        QVERIFY(prompts.askYesNo(QStringLiteral("Open?")));
        prompts.inputAnswers.enqueue(QStringLiteral("pdf"));
        QCOMPARE(prompts.inputBox(QStringLiteral("Ext"), {}, QStringLiteral("d")),
                 QStringLiteral("pdf"));
        prompts.setApplicationTitle(QStringLiteral("Another Instance"));
        prompts.passwordAnswers.enqueue({});
        prompts.askPassword(QStringLiteral("Password?"), {});

        QCOMPARE(prompts.shown.size(), 5);
        QCOMPARE(prompts.shown[0].title, QStringLiteral("Parvilon"));
        QCOMPARE(prompts.shown[0].icon, platform::MessageIcon::None);
        QCOMPARE(prompts.shown[1].title, QStringLiteral("Own Title"));
        QCOMPARE(prompts.shown[1].icon, platform::MessageIcon::Warning);
        QCOMPARE(prompts.shown[2].title, QStringLiteral("Parvilon"));
        QCOMPARE(prompts.shown[3].title, QStringLiteral("Parvilon"));
        QCOMPARE(prompts.shown[3].extra, QStringLiteral("d"));
        QCOMPARE(prompts.shown[4].title, QStringLiteral("Another Instance"));
        QCOMPARE(prompts.unexpected, 0);
    }

    // The password asked for later is handed over from the event loop, never before the
    // question returns: the caller may still be setting up what the answer goes to.
    void aPasswordAskedForLaterIsAnsweredFromTheEventLoop() {
        ScriptedPrompts prompts;
        prompts.passwordAnswers.enqueue(
            {platform::PasswordAnswer::Choice::Ok, QStringLiteral("secret"), true});
        std::optional<platform::PasswordAnswer> answer;
        prompts.askPasswordLater(QStringLiteral("Enter password"), {},
                                 [&](const platform::PasswordAnswer& given) { answer = given; });
        QVERIFY(!answer);
        QTRY_VERIFY(answer.has_value());
        QCOMPARE(answer->password, QStringLiteral("secret"));
        QVERIFY(answer->forAllRemaining);
        QCOMPARE(prompts.ofKind(ScriptedPrompts::Kind::Password).size(), 1);
        QCOMPARE(prompts.shown[0].title, QStringLiteral("Parvilon"));
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
        gui::PasswordBox box(QStringLiteral("Enter password"), QStringLiteral("Input Password"));
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
        gui::TextProgressBar bar;
        bar.setText(QStringLiteral("Processing: 100%p %v %m %%.pdf"));
        bar.setRawValue(42);
        QCOMPARE(bar.text(), QStringLiteral("Processing: 100%p %v %m %%.pdf"));
    }

    void progressBarKeepsValuesOutsideItsRangeButDrawsThemClamped() {
        gui::TextProgressBar bar;
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
        QCOMPARE(gui::curHotSpot(hand.readAll()), QPoint(5, 1));

        const auto handCursor = gui::cursorFromFile(hand.fileName());
        QVERIFY(handCursor.has_value());
        QCOMPARE(handCursor->hotSpot(), QPoint(5, 1));
        QCOMPARE(handCursor->pixmap().size(), QSize(32, 32));

        // An icon is no cursor file; its hot spot is its centre.
        QFile icon(assets + QStringLiteral("drag.ico"));
        QVERIFY(icon.open(QIODevice::ReadOnly));
        QCOMPARE(gui::curHotSpot(icon.readAll()), std::nullopt);
        const auto dragCursor = gui::cursorFromFile(icon.fileName());
        QVERIFY(dragCursor.has_value());
        QCOMPARE(dragCursor->hotSpot(), QPoint(16, 16));
    }

    void unreadableCursorFilesGiveNoCursor() {
        QCOMPARE(gui::curHotSpot(QByteArray("\0\0\2\0", 4)), std::nullopt);
        QTemporaryDir folder;
        const QString broken = folder.filePath(QStringLiteral("HAND-M.CUR"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // A cursor directory whose image data is missing.
        file.write(QByteArray("\0\0\2\0\1\0 \0\0\0\5\0\1\0\0\1\0\0\26\0\0\0", 22));
        file.close();
        QVERIFY(!gui::cursorFromFile(broken).has_value());
        QVERIFY(!gui::cursorFromFile(folder.filePath(QStringLiteral("missing.cur"))));
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
            gui::PaintPacer pacer(&table, 100);
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

    // A paced list does not lay out the rows added meanwhile until its next paint, and then
    // shows every one of them: rows added, removed and the whole model reset while held
    // (a file whose password was refused, Clear Results during a run) leave nothing stale.
    void pacedListCatchesUpWithItsRowsWhenPainted() {
        QStandardItemModel model(0, 2);
        gui::ListView list;
        list.setModel(&model);
        list.setUniformRowHeights(true);
        list.resize(200, 120);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const auto addRows = [&](int count) {
            for (int i = 0; i < count; ++i)
                model.appendRow({new QStandardItem(QStringLiteral("row %1").arg(model.rowCount())),
                                 new QStandardItem(QStringLiteral("cell"))});
        };
        const auto shown = [&](int row) { return list.visualRect(model.index(row, 0)).isValid(); };
        addRows(3);
        QTRY_VERIFY(shown(2));
        {
            gui::PaintPacer pacer(&list, 60'000); // no paint comes while held
            addRows(100);
            QCoreApplication::processEvents();
            QVERIFY(shown(2));
            QVERIFY(!shown(50));
            model.removeRows(0, 1);
            model.setData(model.index(0, 1), QStringLiteral("changed"));
            addRows(100);
            QCoreApplication::processEvents();
            QVERIFY(!shown(150));
        }
        QCOMPARE(model.rowCount(), 202);
        QVERIFY(shown(0) && shown(201));
        QCOMPARE(list.indexAt(list.visualRect(model.index(0, 1)).center()), model.index(0, 1));
        QVERIFY(list.verticalScrollBar()->maximum() > 0);

        {
            gui::PaintPacer pacer(&list, 50);
            model.clear();
            addRows(20);
            QTRY_VERIFY(shown(19)); // caught up at the pacer's paint
            model.removeRows(0, 20);
            addRows(1);
        }
        QVERIFY(shown(0) && !shown(1));
    }

    // A file's dates as a file manager shows them: on the local clock of their moment
    // (summer and winter time each with their own offset), in the locale's file date format.
    // An entry looked up earlier keeps the dates of that moment, whatever the file went
    // through since (the tool reading it, say).
    void fileEntriesGiveTheLocalDatesOfTheirMoment() {
        const QByteArray zoneBefore = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin");
        tzset();
        const auto restoreZone = qScopeGuard([&] {
            zoneBefore.isNull() ? qunsetenv("TZ") : qputenv("TZ", zoneBefore);
            tzset();
        });
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Report.pdf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4\n");
        file.close();
        const QDateTime modified(QDate(2019, 7, 4), QTime(23, 30));
        const QDateTime accessed(QDate(2020, 1, 4), QTime(0, 30));
        QVERIFY2(modified.offsetFromUtc() != accessed.offsetFromUtc(), "no summer time known");
        const utimbuf times{accessed.toSecsSinceEpoch(), modified.toSecsSinceEpoch()};
        QCOMPARE(::utime(QFile::encodeName(path).constData(), &times), 0);

        const platform::FileEntry entry = platform::lookUpFile(path);
        QVERIFY(entry.isRegularFile());
        const extract::FileDates dates = extract::fileDatesOf(entry);
        QVERIFY(dates.modified && dates.accessed);
        QCOMPARE(dates.modified->offsetSeconds, 2 * 3600);
        QCOMPARE(dates.accessed->offsetSeconds, 3600);
        const QLocale locale(QLocale::German, QLocale::Germany);
        const QString format = platform::fileDateTimeFormat(locale);
        const auto shown = [&](const std::optional<base::DateTimeValue>& date) {
            return base::cellText(base::CellValue::dateTime(*date), locale);
        };
        QCOMPARE(shown(dates.modified), locale.toString(modified, format));
        QCOMPARE(shown(dates.accessed), locale.toString(accessed, format));
        if (entry.hasBirthTime())
            QVERIFY(dates.created.has_value());

        QCOMPARE(::utime(QFile::encodeName(path).constData(), nullptr), 0);
        QVERIFY(extract::fileDatesOf(entry).modified == dates.modified);
        QVERIFY(extract::fileDatesOf(platform::lookUpFile(path)).modified != dates.modified);

        QVERIFY(!platform::lookUpFile(folder.filePath(QStringLiteral("missing.pdf"))).found);
        QVERIFY(!platform::lookUpFile(QString()).found);
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

    // Any bytes a file name may hold come back as the same bytes; valid UTF-8 reads as its
    // characters, and only names with other bytes say so.
    void fileNamesRoundTripWhateverTheirBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("ASCII") << QByteArray("report 2024.pdf") << true;
        QTest::newRow("UTF-8") << QByteArray("Caf\xc3\xa9 \xe6\x9d\xb1"
                                             ".pdf")
                               << true;
        QTest::newRow("beyond U+FFFF") << QByteArray("\xf0\x9f\x98\x80") << true;
        QTest::newRow("low half like an escaped byte") << QByteArray("\xf0\x90\x82\x80") << true;
        QTest::newRow("Latin-1") << QByteArray("caf\xe9.pdf") << false;
        QTest::newRow("stray continuation") << QByteArray("a\x80"
                                                          "b")
                                            << false;
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << false;
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80") << false;
        QTest::newRow("cut sequence at the end") << QByteArray("x\xe6\x9d") << false;
        QTest::newRow("escape after a character beyond U+FFFF")
            << QByteArray("\xf0\x9f\x98\x80\xff") << false;
    }
    void fileNamesRoundTripWhateverTheirBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        const QString name = platform::decodeFileName(bytes);
        QCOMPARE(platform::encodeFileName(name), bytes);
        QCOMPARE(platform::hasUndecodableBytes(name), !valid);
        if (valid)
            QCOMPARE(name, QString::fromUtf8(bytes));
    }
    void randomBytesRoundTrip() {
        std::srand(20261208);
        for (int i = 0; i < 5000; ++i) {
            QByteArray bytes(std::rand() % 12, Qt::Uninitialized);
            for (char& byte : bytes)
                byte = static_cast<char>(std::rand() % 255 + 1);
            QCOMPARE(platform::encodeFileName(platform::decodeFileName(bytes)), bytes);
        }
    }

    // The program's folders: its own executable's, and a temporary folder private to this
    // instance (only its user may enter it), the same on every call and gone with it.
    void theProgramsFolders() {
        QString temporary;
        {
            platform::SystemFolders folders;
            QCOMPARE(folders.programFolder(), QCoreApplication::applicationDirPath());
            temporary = folders.privateTempFolder();
            QVERIFY(!temporary.isEmpty());
            QCOMPARE(folders.privateTempFolder(), temporary);
            QCOMPARE(QFileInfo(temporary).path(), QDir::tempPath());
            struct stat status {};
            QCOMPARE(::stat(QFile::encodeName(temporary).constData(), &status), 0);
            QCOMPARE(status.st_mode & 0777, 0700u);
            QVERIFY(QFile(temporary + QStringLiteral("/result.txt")).open(QIODevice::WriteOnly));
            platform::SystemFolders another;
            QVERIFY(another.privateTempFolder() != temporary);
        }
        QVERIFY(!QFileInfo::exists(temporary));
    }
};

PARVILON_TEST_MAIN(PlatformTest)
#include "tst_platform.moc"
