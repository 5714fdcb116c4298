#include "base/CellText.h"
#include "base/Progress.h"
#include "base/ResultsModel.h"
#include "output/AlignedText.h"
#include "output/CsvText.h"
#include "output/TextSave.h"
#include "output/TextTable.h"
#include "tests/output/OutputFixtures.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TestMain.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <atomic>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using base::CellValue;
using base::Property;
using testsupport::fileBytes;
using testsupport::results;

namespace {

// A buffer that takes `limit` bytes and refuses every write that would go beyond, as a full
// disk does.
class FailDevice final : public QBuffer {
public:
    explicit FailDevice(qint64 bytes) : limit(bytes) {}
    int refusals = 0;

protected:
    qint64 writeData(const char* data, qint64 length) override {
        if (pos() + length > limit) {
            ++refusals;
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        return QBuffer::writeData(data, length);
    }

private:
    qint64 limit;
};

base::Status save(const base::ResultsSnapshot& table, const QString& path,
                  base::Progress* progress = nullptr, const base::StopRequest* stop = nullptr) {
    return output::saveResultsText(table, path, output::TextForm::Aligned, QLocale::c(), progress,
                                   stop);
}

// A table of one column of paths, "/f1" and on.
base::ResultsSnapshot pathsTable(int rows) {
    base::ResultsSnapshot table;
    for (int i = 1; i <= rows; ++i)
        table.appendRow(QStringLiteral("/f%1").arg(i), {});
    return table;
}

// Progress that asks its operation to stop once it shows a given text.
class StoppingProgress final : public base::Progress {
public:
    StoppingProgress(base::StopRequest& request, QString at)
        : stop(request), stopAt(std::move(at)) {}
    void setValue(int) override {}
    int value() const override { return 0; }
    void setText(const QString& text) override {
        if (text == stopAt)
            stop.request();
    }
    QString text() const override { return {}; }

private:
    base::StopRequest& stop;
    QString stopAt;
};

// Runs the current test function and data row again in a process of the user nobody, and
// fails when it fails there.
void rerunAsNobody() {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        QSKIP("running as root and without setpriv: no way to drop to an unprivileged user");
    const QString test = QStringLiteral("%1:%2").arg(QLatin1String(QTest::currentTestFunction()),
                                                     QLatin1String(QTest::currentDataTag()));
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(setpriv, {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--",
                          QCoreApplication::applicationFilePath(), test});
    QVERIFY(child.waitForFinished(120000));
    const QByteArray output = child.readAll();
    if (child.exitCode() == 126 || child.exitCode() == 127)
        QSKIP(qPrintable("the user nobody cannot run the test binary here: " + output));
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             output.constData());
    // The row really ran there, and passed.
    QVERIFY2(
        output.contains("PASS   : TextSaveTest::" + QByteArray(QTest::currentTestFunction())) &&
            output.contains(" 0 failed, 0 skipped"),
        output.constData());
}

} // namespace

class TextSaveTest : public QObject {
    Q_OBJECT
private slots:
    void alignedTextByteForByte_data() {
        QTest::addColumn<base::ResultsSnapshot>("table");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("the two-column example")
            << results({Property::Producer}, {{"C:\\a.pdf", "X"}})
            << QByteArray("Filename\tProducer\t\r\nC:\\a.pdf\tX       \t\r\n");
        QTest::newRow("no headers before the first run")
            << base::ResultsModel().snapshot() << QByteArray("\r\n");
        QTest::newRow("rows cleared: the header line only")
            << results({Property::Title}, {}) << QByteArray("Filename\tTitle\t\r\n");
        QTest::newRow("unticked rows count in the widths only")
            << results({Property::Title}, {{"/a.pdf", "T"}, {"/a-much-longer-name.pdf", "x"}}, {1})
            << QByteArray("Filename" + QByteArray(15, ' ') + "\tTitle\t\r\n/a.pdf" +
                          QByteArray(17, ' ') + "\tT    \t\r\n");
        QTest::newRow("nothing ticked")
            << results({}, {{"/a.pdf"}}, {0}) << QByteArray("Filename\t\r\n");
        QTest::newRow("a long cell widens its column and the header")
            << results({Property::Title}, {{"/a", "A rather long title"}, {"/b", ""}})
            << QByteArray("Filename\tTitle              \t\r\n/a      \tA rather long title\t\r\n"
                          "/b      \t                   \t\r\n");
        QTest::newRow("non-ASCII by display width (wide characters two), written as UTF-8")
            << results({Property::Author}, {{"/Zoë.pdf", "中文"}, {"/b.pdf", "Ann"}})
            << QByteArray("Filename\tAuthor\t\r\n/Zo\xc3\xab.pdf\t\xe4\xb8\xad\xe6\x96\x87  \t\r\n"
                          "/b.pdf  \tAnn   \t\r\n");
        QTest::newRow("controls in a name or value show as blanks")
            << results({Property::Title}, {{"/a\tb\nc.pdf", "x\ty"}})
            << QByteArray("Filename  \tTitle\t\r\n/a b c.pdf\tx y  \t\r\n");
        QTest::newRow("whole numbers as their digits, text where a number was due")
            << results({Property::Pages},
                       {{"/a", CellValue::integer(1234567)}, {"/b", "12a"}, {"/c", {}}})
            << QByteArray("Filename\tNumber Of Pages\t\r\n/a      \t1234567        \t\r\n"
                          "/b      \t12a            \t\r\n/c      \t               \t\r\n");
    }
    void alignedTextByteForByte() {
        QFETCH(base::ResultsSnapshot, table);
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        const QString path = folder.filePath("results.txt");
        const base::Status saved = save(table, path);
        QVERIFY2(saved.ok(), qPrintable(saved.error()));
        QCOMPARE(fileBytes(path), bytes);
    }

    void csvByteForByte() {
        QTemporaryDir folder;
        const QString path = folder.filePath("r.csv");
        const auto table = results({Property::Title, Property::Pages},
                                   {{"/a\tb\nc.pdf", "Alpha, \"the first\"", CellValue::integer(3)},
                                    {"/skipped.pdf", "Beta", CellValue::integer(4)},
                                    {"/c.pdf", "", {}}},
                                   {1});
        QVERIFY(output::saveResultsText(table, path, output::TextForm::Csv).ok());
        QCOMPARE(fileBytes(path), QByteArray("Filename,Title,Number Of Pages\r\n"
                                             "\"/a\tb\nc.pdf\",\"Alpha, \"\"the first\"\"\",3\r\n"
                                             "/c.pdf,,\r\n"));
    }

    // Dates show as the table shows them in the locale the save is given, whatever the
    // program's default locale.
    void datesAreWrittenInTheGivenLocale() {
        const QLocale before;
        QLocale::setDefault(QLocale::c());
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        const CellValue modified = CellValue::dateTime(
            {base::DateTimeValue::Kind::DocumentDateTime, {2021, 8, 31}, {14, 30, 5}, 7200});
        const auto table = results({Property::Modified}, {{"/a.pdf", modified}});
        QTemporaryDir folder;
        QStringList written;
        for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates),
                                      QLocale(QLocale::German, QLocale::Germany)}) {
            const QString path = folder.filePath("r.csv");
            QVERIFY(output::saveResultsText(table, path, output::TextForm::Csv, locale).ok());
            written.append(QString::fromUtf8(fileBytes(path)));
            QCOMPARE(written.last(), "Filename,Date Modified\r\n/a.pdf," +
                                         base::cellText(modified, locale) + "\r\n");
        }
        QVERIFY(written[0] != written[1]);
    }

    void theNameChoosesTheForm_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("csv");
        QTest::newRow("text") << "/d/out.txt" << false;
        QTest::newRow("csv") << "/d/out.csv" << true;
        QTest::newRow("csv in capitals") << "/d/out.CSV" << true;
        QTest::newRow("no extension") << "/d/out" << false;
        QTest::newRow("csv inside the name") << "/d/out.csv.txt" << false;
    }
    void theNameChoosesTheForm() {
        QFETCH(QString, path);
        QFETCH(bool, csv);
        QCOMPARE(output::textFormFor(path) == output::TextForm::Csv, csv);
    }

    void anExistingFileIsReplacedWithoutAQuestion() {
        QTemporaryDir folder;
        const QString path = folder.filePath("results"); // no extension: kept as typed
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'o'));
        old.close();
        QVERIFY(save(results({}, {{"/a"}}), path).ok());
        QCOMPARE(fileBytes(path), QByteArray("Filename\t\r\n/a      \t\r\n"));
    }

    void aSaveThatCannotStartSaysWhy() {
        QTemporaryDir folder;
        const auto table = results({Property::Title}, {{"/a", "1"}, {"/b", "2"}, {"/c", "3"}});
        const QString path = folder.filePath("no/such/folder/x.txt");
        const base::Status saved = save(table, path);
        QVERIFY(!saved.ok());
        QCOMPARE(saved.error(), path + " cannot be written: No such file or directory");
        QVERIFY(!QFile::exists(path));
    }

    // A file-size limit makes the disk "full" after 8 KB, for root as for anyone. A small
    // text waits in the file's buffer and fails only in its final flush; a large one fails
    // midway. Either way the old file stays whole and no partial file is left beside it.
    void aSaveThatRunsOutOfRoomLeavesTheOldFileIntact_data() {
        QTest::addColumn<int>("rows");
        QTest::newRow("fails in the final flush") << 120;
        QTest::newRow("fails midway") << 2000;
    }
    void aSaveThatRunsOutOfRoomLeavesTheOldFileIntact() {
        QFETCH(int, rows);
        QTemporaryDir folder;
        const QString path = folder.filePath("results.txt");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the earlier results\r\n");
        old.close();
        base::ResultsSnapshot big{{Property::Title}, {}};
        for (int i = 0; i < rows; ++i)
            big.appendRow(QStringLiteral("/docs/file %1.pdf").arg(i), {QString(60, 'x')});

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit small = previous;
        small.rlim_cur = 8192;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const base::Status saved = save(big, path);
        setrlimit(RLIMIT_FSIZE, &previous);

        QVERIFY(!saved.ok());
        QCOMPARE(saved.error(), path + " could not be written completely: File too large");
        QCOMPARE(fileBytes(path), QByteArray("the earlier results\r\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"results.txt"});
    }

    // A save asked to stop ends there: the old file stays as it was and nothing is left
    // beside it.
    void aStoppedSaveLeavesTheOldFile_data() {
        QTest::addColumn<QString>("stopAt");
        QTest::newRow("before formatting") << "Writing file: results.txt";
        QTest::newRow("while writing") << "Writing file: results.txt (1000)";
        QTest::newRow("when written, before it takes the old file's place") << "Done.";
    }
    void aStoppedSaveLeavesTheOldFile() {
        QFETCH(QString, stopAt);
        QTemporaryDir folder;
        const QString path = folder.filePath("results.txt");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the earlier results\r\n");
        old.close();
        base::StopRequest stop;
        StoppingProgress progress(stop, stopAt);
        const base::Status saved = save(pathsTable(2500), path, &progress, &stop);
        QVERIFY(stop.isRequested());
        QCOMPARE(saved.error(), QStringLiteral("Stopped."));
        QCOMPARE(fileBytes(path), QByteArray("the earlier results\r\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"results.txt"});
    }

    // In a folder we may write, the new file takes the old one's place when complete (a new
    // inode); in one we may not, a file we may write is written in place; with neither, the
    // save is refused and the old text stays. Root may write anything, so as root this test
    // runs itself again as the unprivileged user nobody.
    void savesAsAnUnprivilegedUser_data() {
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<bool>("fileWritable");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("sameInode");
        QTest::newRow("writable folder: replaced whole") << true << true << true << false;
        QTest::newRow("read-only folder: written in place") << false << true << true << true;
        QTest::newRow("read-only folder and file: refused") << false << false << false << true;
    }
    void savesAsAnUnprivilegedUser() {
        if (::geteuid() == 0) {
            rerunAsNobody();
            return;
        }
        QFETCH(bool, folderWritable);
        QFETCH(bool, fileWritable);
        QFETCH(bool, saved);
        QFETCH(bool, sameInode);
        QTemporaryDir folder;
        const QString path = folder.filePath("results.txt");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the earlier results\r\n");
        old.close();
        const auto inodeOf = [&] {
            struct stat status {};
            ::stat(QFile::encodeName(path).constData(), &status);
            return status.st_ino;
        };
        const auto before = inodeOf();
        const auto owner = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
        QFile::setPermissions(path, fileWritable ? QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                 : QFileDevice::ReadOwner);
        if (!folderWritable)
            QFile::setPermissions(folder.path(), owner);
        const auto restore = qScopeGuard(
            [&] { QFile::setPermissions(folder.path(), owner | QFileDevice::WriteOwner); });

        const base::Status status = save(results({}, {{"/a"}}), path);
        QCOMPARE(status.ok(), saved);
        QCOMPARE(fileBytes(path), saved ? QByteArray("Filename\t\r\n/a      \t\r\n")
                                        : QByteArray("the earlier results\r\n"));
        if (!saved)
            QVERIFY2(status.error().startsWith(path + " cannot be written: "),
                     qPrintable(status.error()));
        QCOMPARE(inodeOf() == before, sameInode);
    }

    void progressNamesTheFileAndCountsThousands() {
        QTemporaryDir folder;
        testsupport::RecordingProgress bar;
        QVERIFY(save(pathsTable(2500), folder.filePath("r.txt"), &bar).ok());
        const QStringList& texts = bar.texts;
        QCOMPARE(texts.first(), QStringLiteral("Writing file: r.txt"));
        QVERIFY(texts.contains("Writing file: r.txt (1000)"));
        QVERIFY(texts.contains("Writing file: r.txt (2000)"));
        QVERIFY(!texts.contains("Writing file: r.txt (2500)"));
        QCOMPARE(texts.last(), QStringLiteral("Done."));
        QCOMPARE(bar.value(), 100);
    }

    void progressValuesOfLargeTables() {
        QCOMPARE(output::rowProgress(1, 10), 10);
        QCOMPARE(output::rowProgress(10, 10), 100);
        QCOMPARE(output::rowProgress(1, 4000), 0);
        QCOMPARE(output::rowProgress(3998, 4000), 100);
        QCOMPARE(output::rowProgress(4000, 4000), 100); // 100.05: drawn as full
        QCOMPARE(output::rowProgress(10000, 10000), 100);
        QCOMPARE(output::rowProgress(1, 0), 0);
    }

    void csvFieldsAreQuotedOnlyWhenTheyMustBe_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain") << QStringList{"/a.pdf", "Title", ""} << "/a.pdf,Title,";
        QTest::newRow("comma") << QStringList{"a,b"} << "\"a,b\"";
        QTest::newRow("quotes doubled") << QStringList{"say \"hi\""} << "\"say \"\"hi\"\"\"";
        QTest::newRow("line breaks") << QStringList{"x\ny", "x\ry"} << "\"x\ny\",\"x\ry\"";
        QTest::newRow("blanks and tabs stay bare") << QStringList{" a\tb "} << " a\tb ";
    }
    void csvFieldsAreQuotedOnlyWhenTheyMustBe() {
        QFETCH(QStringList, fields);
        QFETCH(QString, line);
        QCOMPARE(output::csvLine(fields), line);
    }

    // Every write is checked: the first one the device refuses ends the text with the
    // device's reason, and nothing more is written after it. What reached the device is
    // whole lines.
    void aRefusedWriteEndsTheText_data() {
        QTest::addColumn<qint64>("limit");
        QTest::newRow("refused at once") << qint64(0);
        QTest::newRow("after some lines") << qint64(1500000);
    }
    void aRefusedWriteEndsTheText() {
        QFETCH(qint64, limit);
        FailDevice device(limit);
        QVERIFY(device.open(QIODevice::WriteOnly));
        base::ResultsSnapshot table;
        for (int i = 0; i < 3000; ++i)
            table.appendRow(QStringLiteral("/%1/").arg(i, 4, 10, QLatin1Char('0')) +
                                QString(994, QLatin1Char('x')),
                            {});
        const qsizetype line = 1000 + 3; // every cell as wide as the widest, a tab, CR LF
        try {
            output::writeResultsText(output::TextTable(table, QLocale::c()), device,
                                     output::TextForm::Aligned, nullptr, nullptr, "x");
            QFAIL("a refused write went unnoticed");
        } catch (const base::RunTimeError& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QStringLiteral("The results could not be written: No space left on device"));
        }
        const qsizetype kept = device.data().size();
        QVERIFY(kept <= limit);
        QVERIFY(limit == 0 || kept > 0);
        QCOMPARE(kept % line, 0);
        QCOMPARE(device.refusals, 1);
    }

    // The save reads a snapshot, in a thread of its own as the window runs it: rows cleared
    // and cells changed in the table meanwhile are written as they were.
    void aTableChangedDuringASaveDoesNotHarmIt() {
        base::ResultsModel table;
        table.setColumns({Property::Title});
        for (int i = 0; i < 20000; ++i)
            table.setCell(table.appendRow(QStringLiteral("/d/%1.pdf").arg(i)), 1, "T");
        table.tickAll();
        QTemporaryDir folder;
        const QString path = folder.filePath("r.txt");
        const base::ResultsSnapshot snapshot = table.snapshot();
        std::atomic<bool> saving = true;
        base::Status saved = base::Status::failure("not run");
        std::thread saver([&] {
            saved = output::saveResultsText(snapshot, path, output::TextForm::Aligned);
            saving = false;
        });
        for (int row = 0; saving && row < table.count(); ++row)
            table.setCell(row, 1, CellValue::integer(row));
        table.clearRows();
        saver.join();
        QVERIFY2(saved.ok(), qPrintable(saved.error()));
        const QByteArray written = fileBytes(path);
        QVERIFY(written.startsWith("Filename"));
        QCOMPARE(written.count("\r\n"), 20001);
        QCOMPARE(written.count("\tT    \t\r\n"), 20000);
    }
};

PARVILON_TEST_MAIN(TextSaveTest)
#include "tst_textsave.moc"
