#include "base/ErrorReport.h"
#include "extract/PdfVersion.h"
#include "tests/support/TestMain.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using extract::pdfVersionFromStart;

class PdfVersionTest : public QObject {
    Q_OBJECT
private slots:
    void versionFromTheHeaderLine_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QString>("version");
        QTest::newRow("LF") << QByteArray("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj") << "PDF-1.4";
        QTest::newRow("CR LF") << QByteArray("%PDF-1.7\r\n1 0 obj") << "PDF-1.7";
        QTest::newRow("CR alone") << QByteArray("%PDF-1.5\r1 0 obj") << "PDF-1.5";
        QTest::newRow("text after the version stays")
            << QByteArray("%PDF-1.3 %\xe2\xe3\n") << QString::fromLatin1("PDF-1.3 %\xe2\xe3");
        QTest::newRow("NUL characters left out") << QByteArray("%PDF-1.\0"
                                                               "6\n",
                                                               10)
                                                 << "PDF-1.6";
        QTest::newRow("junk before the header")
            << QByteArray("garbage bytes\n%PDF-1.4\n1 0 obj") << "PDF-1.4";
        QTest::newRow("junk on the header's line") << QByteArray("xx%PDF-2.0\r\n") << "PDF-2.0";
        QTest::newRow("not a PDF: the first line as it is")
            << QByteArray("This is no PDF\nat all\n") << "his is no PDF";
        QTest::newRow("break right after the first character") << QByteArray("%\n") << "";
    }
    void versionFromTheHeaderLine() {
        QFETCH(QByteArray, start);
        QFETCH(QString, version);
        QCOMPARE(pdfVersionFromStart(start).value(), version);
    }

    void headerBeyond1024BytesIsNotLookedFor() {
        const QByteArray start = QByteArray(1100, 'x') + "\n%PDF-1.4\n";
        QCOMPARE(pdfVersionFromStart(start).value(), QString(1099, QLatin1Char('x')));
    }

    void noLineBreakIsAnError_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one line") << QByteArray("%PDF-1.4");
        QTest::newRow("break only at the first character") << QByteArray("\n%PDF-1.4");
    }
    void noLineBreakIsAnError() {
        QFETCH(QByteArray, start);
        QVERIFY(!pdfVersionFromStart(start).ok());
    }

    void readsOnlyTheStartOfRegularFiles() {
        QTemporaryDir folder;
        const QString big = folder.filePath(QStringLiteral("big é.pdf"));
        QFile file(big);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.6\r\n");
        file.write(QByteArray(8 * 1024 * 1024, 'x'));
        file.close();
        QCOMPARE(extract::readPdfVersion(big).value(), QStringLiteral("PDF-1.6"));

        QVERIFY(!extract::readPdfVersion(folder.filePath(QStringLiteral("missing.pdf"))).ok());
        QVERIFY(!extract::readPdfVersion(folder.path()).ok());
    }

    void aFifoNamedLikeAPdfDoesNotBlock() {
        QTemporaryDir folder;
        const QString fifo = folder.filePath(QStringLiteral("pipe.pdf"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!extract::readPdfVersion(fifo).ok());
        QVERIFY(clock.elapsed() < 5000);
    }
};

PARVILON_TEST_MAIN(PdfVersionTest)
#include "tst_pdfversion.moc"
