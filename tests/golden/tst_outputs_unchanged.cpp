// Every byte the outputs write for the same files stays as it was when this test was made:
// the aligned text, CSV, clipboard text and the workbook's cell values, types and formats,
// over the public corpus, the test PDFs and the samples, in one locale and time zone, with
// the files' dates set by the test. The expected outputs are the files in this folder,
// written by the program of that day; PARVILON_WRITE_GOLDEN=1 writes them anew.
#include "base/ErrorReport.h"
#include "extract/ExtractionRun.h"
#include "extract/ToolCommand.h"
#include "output/AlignedText.h"
#include "output/TextSave.h"
#include "output/TextTable.h"
#include "output/WorkbookExport.h"
#include "tests/support/TestMain.h"

#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString goldenPath(const QString& name) {
    return testsupport::sourceDir() + QStringLiteral("/tests/golden/") + name +
           QStringLiteral(".gz");
}

// gzip and gunzip, so that the expected outputs stay small in the repository.
QByteArray throughProgram(const QStringList& command, const QByteArray& input) {
    QProcess program;
    program.start(command.first(), command.mid(1));
    program.write(input);
    program.closeWriteChannel();
    program.waitForFinished(60000);
    return program.readAllStandardOutput();
}

// The PDFs of a folder tree, sorted, relative to the folder.
QStringList pdfsUnder(const QString& folder) {
    QStringList found;
    for (QDirIterator it(folder, {QStringLiteral("*.pdf")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        found.append(QDir(folder).relativeFilePath(it.next()));
    found.sort();
    return found;
}

// Dates a few days apart across more than a year, so that both summer and winter time show.
void setFileDates(const QString& path, int index) {
    const time_t modified = 1609459200 + static_cast<time_t>(index) * 7919 * 7;
    const struct timespec times[2] = {{modified + 3600, 0}, {modified, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

} // namespace

class OutputsUnchangedTest : public QObject {
    Q_OBJECT
private slots:
    void everyOutputAsBefore() {
        const QString corpus = testsupport::sourceDir() + QStringLiteral("/../shared/pdf-corpus");
        if (!QFile::exists(corpus))
            QSKIP("the public corpus is not beside the checkout");
        const QString build = QCoreApplication::applicationDirPath();
        QTemporaryDir work;
        QStringList inputs;
        const QList<std::pair<QString, QString>> sources = {
            {QStringLiteral("corpus"), corpus},
            {QStringLiteral("testpdfs"), build + QStringLiteral("/testpdfs")},
            {QStringLiteral("samples"), build + QStringLiteral("/Samples")}};
        for (const auto& [name, folder] : sources) {
            for (const QString& file : pdfsUnder(folder)) {
                const QString copy = name + QLatin1Char('/') + file;
                QDir(work.path()).mkpath(QFileInfo(copy).path());
                QVERIFY(QFile::copy(folder + QLatin1Char('/') + file, work.filePath(copy)));
                inputs.append(copy);
            }
        }
        QVERIFY(inputs.size() > 900);
        for (int i = 0; i < inputs.size(); ++i)
            setFileDates(work.filePath(inputs[i]), i);
        QVERIFY(QDir::setCurrent(work.path()));

        // Every column but the created date, which a file without one in its document takes
        // from the copy's birth, a moment no test can set.
        const base::Columns columns =
            base::columnsNamed({"version", "producer", "creator", "title", "author", "subject",
                                "keywords", "pages", "modified", "accessed"})
                .value();
        QTemporaryDir scratch;
        extract::RunOptions options;
        options.toolPath = extract::toolPath(build);
        options.temporaryFolder = scratch.path();
        testsupport::ScriptedPrompts prompts; // damaged dates are reported as ever
        extract::ExtractionRun run(
            inputs, columns, options,
            base::ErrorReport(prompts, QStringLiteral("Form1.PushButton3_Click")));
        base::ResultsSnapshot snapshot{columns, {}};
        connect(&run, &extract::ExtractionRun::rowReady, this, [&](const base::ResultRowData& row) {
            snapshot.rows.append(row);
            snapshot.rows.last().ticked = true;
        });
        QEventLoop loop;
        connect(&run, &extract::ExtractionRun::finished, &loop, &QEventLoop::quit);
        run.start();
        loop.exec();
        QCOMPARE(snapshot.rowCount(), inputs.size());

        QVERIFY(output::saveResultsText(snapshot, work.filePath("r.txt"), output::TextForm::Aligned)
                    .ok());
        QVERIFY(
            output::saveResultsText(snapshot, work.filePath("r.csv"), output::TextForm::Csv).ok());
        QVERIFY(
            output::writeResultsWorkbook(snapshot, work.filePath("r.xlsx"), scratch.path()).ok());
        QProcess reader;
        reader.start(QStringLiteral("/usr/bin/python3"),
                     {testsupport::sourceDir() + QStringLiteral("/tests/output/read_workbook.py"),
                      work.filePath("r.xlsx")});
        QVERIFY(reader.waitForFinished(120000));
        const QByteArray workbook =
            QJsonDocument::fromJson(reader.readAllStandardOutput()).toJson(QJsonDocument::Indented);
        QVERIFY(workbook.size() > 1000);

        const QList<std::pair<QString, QByteArray>> outputs = {
            {QStringLiteral("aligned.txt"), bytesOf(work.filePath("r.txt"))},
            {QStringLiteral("results.csv"), bytesOf(work.filePath("r.csv"))},
            {QStringLiteral("clipboard.txt"),
             output::clipboardText(output::TextTable(snapshot, QLocale()))},
            {QStringLiteral("workbook.json"), workbook}};
        const bool writing = qEnvironmentVariableIntValue("PARVILON_WRITE_GOLDEN") == 1;
        for (const auto& [name, bytes] : outputs) {
            QVERIFY(bytes.count('\n') > 900);
            if (writing) {
                QFile golden(goldenPath(name));
                QVERIFY(golden.open(QIODevice::WriteOnly));
                golden.write(throughProgram({"gzip", "-9n"}, bytes));
                continue;
            }
            const QByteArray expected = throughProgram({"gunzip", "-c"}, bytesOf(goldenPath(name)));
            if (bytes != expected) {
                QFile actual(QDir::tempPath() + QStringLiteral("/parvilon-actual-") + name);
                actual.open(QIODevice::WriteOnly);
                actual.write(bytes);
                QFAIL(qPrintable(name + QStringLiteral(" differs; what was written is in ") +
                                 actual.fileName()));
            }
        }
    }
};

PARVILON_TEST_MAIN(OutputsUnchangedTest)
#include "tst_outputs_unchanged.moc"
