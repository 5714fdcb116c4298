// The command line and the window read the same files into the same table: over the whole
// public corpus, walked as a folder by both, the window's saved text and parvilon-cli's are
// the same bytes.
#include "tests/support/TestMain.h"
#include "tests/support/TestWindow.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

using testsupport::ScriptedPrompts;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class CliMatchesWindowTest : public QObject {
    Q_OBJECT
private slots:
    void theSameTableByteForByte() {
        const QString corpus = testsupport::sourceDir() + QStringLiteral("/../shared/pdf-corpus");
        if (!QFile::exists(corpus))
            QSKIP("the public corpus is not beside the checkout");
        const QString cli = qEnvironmentVariable("PARVILON_CLI");
        QVERIFY(QFile::exists(cli));
        // Read every file once first: the access dates are part of the table, and the first
        // read of a file may move its access date (never again the same day).
        for (QDirIterator it(corpus, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            bytesOf(it.next());
        QTemporaryDir work;

        // The window, on the build folder's tool: the folder scan over the corpus, a run, the
        // save, each waited for.
        testsupport::TestServices services(QCoreApplication::applicationDirPath());
        auto window = testsupport::makeMainWindow(services);
        window->show();
        ScriptedPrompts& prompts = services.prompts;
        prompts.inputAnswers << QStringLiteral("pdf");
        prompts.folderAnswers << corpus;
        prompts.saveFileAnswers << work.filePath(QStringLiteral("window.txt"));
        for (QPushButton* button :
             {window->controls().addFolder, window->controls().startExtraction,
              window->controls().saveText}) {
            button->click();
            QTRY_VERIFY_WITH_TIMEOUT(!window->isBusy(), 600000);
            if (button == window->controls().addFolder)
                QVERIFY(window->fileList().count() > 800);
        }

        // The command line, over the same folder.
        QProcess run;
        run.setProgram(cli);
        run.setArguments(
            {corpus, QStringLiteral("--output"), work.filePath(QStringLiteral("cli.txt"))});
        run.start();
        QVERIFY(run.waitForFinished(600000));
        QCOMPARE(run.exitCode(), 1); // the corpus holds files that need a password

        const QByteArray fromWindow = bytesOf(work.filePath(QStringLiteral("window.txt")));
        const QByteArray fromCli = bytesOf(work.filePath(QStringLiteral("cli.txt")));
        QVERIFY(fromWindow.count("\r\n") > 800);
        QCOMPARE(fromCli.size(), fromWindow.size());
        QVERIFY(fromCli == fromWindow);
    }
};

PARVILON_TEST_MAIN(CliMatchesWindowTest)
#include "tst_cli_matches_window.moc"
