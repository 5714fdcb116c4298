// The output file appears whole or not at all, and a failed write leaves nothing behind.

#include "tool/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace pdfinfodump;

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class ToolOutputFileTest : public QObject {
    Q_OBJECT
private slots:
    void writesNewFile() {
        QTemporaryDir folder;
        const QString path = folder.filePath("result.txt");
        const std::string data = std::string("NumberOfPages: 1\n") + std::string(100000, 'x');
        QCOMPARE(QString::fromStdString(writeFileWhole(path.toStdString(), data)), QString());
        QCOMPARE(contentOf(path), QByteArray::fromStdString(data));
        QCOMPARE(entriesOf(folder.path()), QStringList{"result.txt"});
    }

    void replacesOldFile() {
        QTemporaryDir folder;
        const QString path = folder.filePath("result.txt");
        writeText(path, "stale output of another file, longer than the new one\n");
        QCOMPARE(QString::fromStdString(writeFileWhole(path.toStdString(), "new\n")), QString());
        QCOMPARE(contentOf(path), QByteArray("new\n"));
        QCOMPARE(entriesOf(folder.path()), QStringList{"result.txt"});
    }

    void emptyDumpGivesEmptyFile() {
        QTemporaryDir folder;
        const QString path = folder.filePath("result.txt");
        QCOMPARE(QString::fromStdString(writeFileWhole(path.toStdString(), "")), QString());
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void modeFollowsUmask() {
        QTemporaryDir folder;
        const QString path = folder.filePath("result.txt");
        const mode_t previous = ::umask(022);
        const std::string error = writeFileWhole(path.toStdString(), "x");
        ::umask(previous);
        QCOMPARE(QString::fromStdString(error), QString());
        struct stat status {};
        QCOMPARE(::stat(path.toLocal8Bit().constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t{0644});
    }

    void relativePathUsesCurrentFolder() {
        QTemporaryDir folder;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        const std::string error = writeFileWhole("plain-name.txt", "x\n");
        QDir::setCurrent(previous);
        QCOMPARE(QString::fromStdString(error), QString());
        QCOMPARE(contentOf(folder.filePath("plain-name.txt")), QByteArray("x\n"));
    }

    void failuresLeaveNothing_data() {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("missing folder") << "no/such/folder/result.txt";
        QTest::newRow("target is a folder") << "existing-folder";
    }
    void failuresLeaveNothing() {
        QFETCH(QString, relativePath);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("existing-folder"));
        writeText(folder.filePath("existing-folder/keep.txt"), "kept");
        const QStringList before = entriesOf(folder.path());
        const std::string error =
            writeFileWhole(folder.filePath(relativePath).toStdString(), "data\n");
        QVERIFY(!error.empty());
        QCOMPARE(entriesOf(folder.path()), before);
        QCOMPARE(contentOf(folder.filePath("existing-folder/keep.txt")), QByteArray("kept"));
    }
};

QTEST_APPLESS_MAIN(ToolOutputFileTest)
#include "tst_tool_outputfile.moc"
