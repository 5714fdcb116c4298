// Reading a PDF file through the block cache, and files that shrink or change while they are
// read: a clear error, never a crash.

#include "tool/BlockCacheSource.h"
#include "tool/FileSnapshot.h"
#include "tool/PdfReading.h"

#include <qpdf/Buffer.hh>
#include <qpdf/BufferInputSource.hh>

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <stdexcept>

using namespace pdfinfodump;

namespace {

QString madePdf(const QString& name) {
    return qEnvironmentVariable("PARVILON_TOOL_PDFS") + QLatin1Char('/') + name;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

std::unique_ptr<FileSnapshot> openSnapshot(const QString& path) {
    std::string error;
    auto file = FileSnapshot::open(path.toStdString(), error);
    if (!file) {
        qWarning("%s: %s", qPrintable(path), error.c_str());
    }
    return file;
}

// Text with line ends of every kind, runs of them across block boundaries included.
QByteArray linesOfText(int size) {
    QRandomGenerator random(7);
    QByteArray bytes;
    while (bytes.size() < size) {
        const int pick = random.bounded(12);
        bytes += pick == 0 ? '\n' : pick == 1 ? '\r' : char('a' + pick);
    }
    return bytes;
}

} // namespace

class ToolFileReadingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(QFile::exists(madePdf("manifest.json")),
                 "run the tool_make_test_pdfs test first (PARVILON_TOOL_PDFS)");
    }

    // The block cache must read as qpdf's own buffer source reads the same bytes: the same
    // bytes, positions, line ends skipped and errors, whatever blocks the reads cross.
    void readsAsQpdfBufferDoes() {
        QTemporaryDir folder;
        const QByteArray bytes = linesOfText(5000);
        const QString path = folder.filePath("text");
        QVERIFY(writeFile(path, bytes));
        const auto file = openSnapshot(path);
        QVERIFY(file);
        BlockCacheSource blocks(*file, 64, 3);
        Buffer buffer(reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.constData())),
                      static_cast<size_t>(bytes.size()));
        BufferInputSource memory("memory", &buffer);

        QRandomGenerator random(11);
        for (int step = 0; step < 20000; ++step) {
            const int operation = random.bounded(6);
            const qpdf_offset_t offset = random.bounded(-100, bytes.size() + 100);
            const int length = random.bounded(300);
            std::string got(300, '\0');
            std::string expected(300, '\0');
            qpdf_offset_t gotValue = 0;
            qpdf_offset_t expectedValue = 0;
            bool gotThrown = false;
            bool expectedThrown = false;
            const auto run = [&](InputSource& source, std::string& out, qpdf_offset_t& value,
                                 bool& thrown) {
                try {
                    switch (operation) {
                    case 0:
                        source.seek(offset, SEEK_SET);
                        break;
                    case 1:
                        source.seek(offset % 200, offset % 2 ? SEEK_CUR : SEEK_END);
                        break;
                    case 2:
                    case 3:
                        value = static_cast<qpdf_offset_t>(
                            source.read(out.data(), static_cast<size_t>(length)));
                        break;
                    case 4:
                        value = source.findAndSkipNextEOL();
                        break;
                    case 5:
                        source.unreadCh('x');
                        break;
                    }
                } catch (const std::exception&) {
                    // A seek before the start stays there, and reading there throws.
                    thrown = true;
                }
            };
            run(blocks, got, gotValue, gotThrown);
            run(memory, expected, expectedValue, expectedThrown);
            QCOMPARE(gotThrown, expectedThrown);
            QCOMPARE(gotValue, expectedValue);
            QCOMPARE(got, expected);
            QCOMPARE(blocks.tell(), memory.tell());
            QCOMPARE(blocks.getLastOffset(), memory.getLastOffset());
        }
        QVERIFY(file->failure().empty());
    }

    // Each block is read once while it stays in the cache; a file larger than the cache is
    // read again as its blocks are replaced, the least recently used first.
    void cacheKeepsRecentBlocks() {
        QTemporaryDir folder;
        const QString path = folder.filePath("text");
        QVERIFY(writeFile(path, linesOfText(1000)));
        const auto file = openSnapshot(path);
        QVERIFY(file);
        const auto readAll = [](BlockCacheSource& source) {
            char chunk[37];
            source.seek(0, SEEK_SET);
            while (source.read(chunk, sizeof chunk) > 0) {
            }
        };
        BlockCacheSource roomy(*file, 100, 10);
        readAll(roomy);
        readAll(roomy);
        QCOMPARE(roomy.blocksRead(), std::uint64_t{10});

        BlockCacheSource small(*file, 100, 4);
        readAll(small);
        readAll(small);
        QCOMPARE(small.blocksRead(), std::uint64_t{20});

        // The block used last stays while others are replaced.
        BlockCacheSource lru(*file, 100, 2);
        char byte = 0;
        for (const qpdf_offset_t offset : {0, 150, 0, 250, 0, 350, 0}) {
            lru.seek(offset, SEEK_SET);
            QCOMPARE(lru.read(&byte, 1), size_t{1});
        }
        QCOMPARE(lru.blocksRead(), std::uint64_t{4});
    }

    // A file cut short after a block was read: the next block throws, and so does every read
    // after it, the block already read included, since the bytes may come from two versions.
    void shrinkWhileReading() {
        QTemporaryDir folder;
        const QString path = folder.filePath("text");
        QVERIFY(writeFile(path, linesOfText(1000)));
        const auto file = openSnapshot(path);
        QVERIFY(file);
        BlockCacheSource source(*file, 100, 4);
        char chunk[10];
        QCOMPARE(source.read(chunk, sizeof chunk), sizeof chunk);
        QVERIFY(QFile::resize(path, 450));
        source.seek(420, SEEK_SET);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, source.read(chunk, sizeof chunk));
        QCOMPARE(QString::fromStdString(file->failure()),
                 QString("the file shrank while it was read"));
        source.seek(0, SEEK_SET);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, source.read(chunk, sizeof chunk));
        QVERIFY(!file->unchanged());
    }

    // A file truncated or rewritten after it was opened gives one clear error, whether it is
    // read whole or block by block.
    void changedAfterOpening_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("truncate"); // else one byte is rewritten in place
        QTest::addColumn<QString>("error");
        const QString shrank = "the file shrank while it was read";
        const QString changed = "the file changed while it was read";
        QTest::newRow("small, truncated") << "plain.pdf" << true << shrank;
        QTest::newRow("large, truncated") << "large.pdf" << true << shrank;
        QTest::newRow("small, rewritten") << "plain.pdf" << false << changed;
        QTest::newRow("large, rewritten") << "large.pdf" << false << changed;
    }
    void changedAfterOpening() {
        QFETCH(QString, file);
        QFETCH(bool, truncate);
        QFETCH(QString, error);
        QTemporaryDir folder;
        const QString path = folder.filePath(file);
        QVERIFY(QFile::copy(madePdf(file), path));
        const auto snapshot = openSnapshot(path);
        QVERIFY(snapshot);
        QVERIFY(snapshot->size() > 0);
        QFile pdf(path);
        if (truncate) {
            QVERIFY(pdf.resize(snapshot->size() / 2));
        } else {
            // Modification times can be coarser than the test is quick, so one is set.
            QVERIFY(pdf.open(QIODevice::ReadWrite));
            QVERIFY(pdf.seek(10));
            QVERIFY(pdf.write("%") == 1);
            QVERIFY(pdf.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                    QFileDevice::FileModificationTime));
            pdf.close();
        }
        const ReadResult result = readOpenedPdf(*snapshot, std::nullopt);
        QVERIFY(!result.ok);
        QCOMPARE(QString::fromStdString(result.error), error);
    }
};

QTEST_APPLESS_MAIN(ToolFileReadingTest)
#include "tst_tool_filereading.moc"
