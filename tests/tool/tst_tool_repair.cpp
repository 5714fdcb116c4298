// The byte-level repairs of damaged PDFs: what each copy holds, and that copies which must
// keep every offset keep the size.

#include "tool/DamagedFileRepair.h"

#include <QTest>

using namespace pdfinfodump;

namespace {

std::string_view view(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

QByteArray bytesOf(const std::optional<std::string>& copy) {
    return copy ? QByteArray::fromStdString(*copy) : QByteArray();
}

} // namespace

class ToolRepairTest : public QObject {
    Q_OBJECT
private slots:
    void withoutEncryption_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected"); // empty: no copy
        QTest::newRow("reference") << QByteArray("trailer << /Root 1 0 R /Encrypt 5 0 R >>")
                                   << QByteArray("trailer << /Root 1 0 R /NoCrypt 5 0 R >>");
        QTest::newRow("no space before the value, twice")
            << QByteArray("<</Encrypt<<>>>> <</Encrypt 3>>")
            << QByteArray("<</NoCrypt<<>>>> <</NoCrypt 3>>");
        QTest::newRow("a longer name is another key")
            << QByteArray("<< /EncryptMetadata false >>") << QByteArray();
        QTest::newRow("none") << QByteArray("%PDF-1.4 1 0 obj << >> endobj") << QByteArray();
    }
    void withoutEncryption() {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QCOMPARE(bytesOf(pdfinfodump::withoutEncryption(view(input))), expected);
    }

    void withoutHugeIntegers_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected"); // empty: no copy
        QTest::newRow("object number beyond int: header blanked")
            << QByteArray("1 0 obj (a) endobj 3000000000 0 obj (b) endobj")
            << QByteArray("1 0 obj (a) endobj                  (b) endobj");
        QTest::newRow("generation beyond int")
            << QByteArray("\n7 4294967296 obj") << QByteArray("\n                ");
        QTest::newRow("integer beyond 64 bits in a dictionary")
            << QByteArray("<< /Size 99999999999999999999 /Root 1 0 R >>")
            << QByteArray("<< /Size 0                    /Root 1 0 R >>");
        QTest::newRow("negative, and the largest that fits stays")
            << QByteArray("[-9223372036854775809 9223372036854775807]")
            << QByteArray("[0                    9223372036854775807]");
        QTest::newRow("startxref beyond 64 bits disabled")
            << QByteArray("startxref\n18446744073709551616\n%%EOF")
            << QByteArray("startxre_\n0                   \n%%EOF");
        QTest::newRow("digits of a real number or a name are no integer")
            << QByteArray("[1.99999999999999999999 /N99999999999999999999]") << QByteArray();
        QTest::newRow("leading zeros") << QByteArray("[00000000000000000000001]") << QByteArray();
    }
    void withoutHugeIntegers() {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QCOMPARE(bytesOf(pdfinfodump::withoutHugeIntegers(view(input))), expected);
    }

    void rebuiltTrailer_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("trailer"); // empty: no copy
        const QByteArray pages = "2 0 obj << /Type /Pages /Kids [] /Count 0 >> endobj\n";
        QTest::newRow("last catalog, property dictionary, ID")
            << "%PDF-1.7\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n" + pages +
                   "4 0 obj << /Title (outline) /Parent 9 0 R >> endobj\n"
                   "5 0 obj << /Producer (p) /Title (t) >> endobj\n"
                   "12 1 obj <</Type/Catalog/Pages 2 0 R>> endobj\n"
                   "trailer << /ID [<00ff> <AB12>] /Root 1 0 R [>>\nstartxref\n99\n%%EOF"
            << QByteArray("trailer\n<< /Size 13 /Root 12 1 R /Info 5 0 R /ID [<00ff> <AB12>] >>\n");
        QTest::newRow("written references win; /Root only when no catalog is seen")
            << "%PDF-1.4\r\n" + pages +
                   "5 0 obj << /Producer (p) >> endobj\n"
                   "<< /Type /XRef /Root 8 0 R /Info 6 0 R /Encrypt 7 0 R >>"
            << QByteArray("trailer\n<< /Size 6 /Root 8 0 R /Info 6 0 R /Encrypt 7 0 R >>\n");
        QTest::newRow("no catalog anywhere") << "%PDF-1.4\n" + pages << QByteArray();
        QTest::newRow("no header")
            << QByteArray("1 0 obj << /Type /Catalog >> endobj") << QByteArray();
    }
    void rebuiltTrailer() {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, trailer);
        const QByteArray copy = bytesOf(withRebuiltTrailer(view(input)));
        if (trailer.isEmpty()) {
            QVERIFY(copy.isEmpty());
            return;
        }
        // Right after the header line, and again at the end; startxref disabled.
        const qsizetype header = input.indexOf('\n') + 1;
        QCOMPARE(copy.mid(header, trailer.size()), trailer);
        QVERIFY(copy.endsWith("\n" + trailer));
        QVERIFY(!copy.contains("startxref"));
        QCOMPARE(copy.size(), input.size() + 2 * trailer.size() + 1);
    }

    void startxrefToXrefStream() {
        const QByteArray junk = "junk%PDF-1.5\n";
        const QByteArray objects =
            "1 0 obj << /Type /XRef /Size 3 >> stream\nxx\nendstream endobj\n"
            "2 0 obj << /Type/XRef /Prev 5 >> stream\nyy\nendstream endobj\n";
        const QByteArray input = junk + objects + QByteArray(2000, 'w');
        const QByteArray copy = bytesOf(withStartxrefToXrefStream(view(input)));
        // Offsets count from the header, as qpdf reads them.
        const qsizetype second = objects.indexOf("2 0 obj") + junk.size() - 4;
        QCOMPARE(copy, input + "\nstartxref\n" + QByteArray::number(second) + "\n%%EOF\n");
        QVERIFY(!withStartxrefToXrefStream("%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj"));
    }
};

QTEST_APPLESS_MAIN(ToolRepairTest)
#include "tst_tool_repair.moc"
