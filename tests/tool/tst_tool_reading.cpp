// Reading real PDF files: the test PDFs made by make_test_pdfs.py (PARVILON_TOOL_PDFS) and
// the public corpus (PARVILON_PDF_CORPUS), plain, encrypted, damaged and not PDFs at all.

#include "tool/DumpFormat.h"
#include "tool/PdfReading.h"
#include "tool/PdfText.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace pdfinfodump;

namespace {

const char* const secretTitle = "Café 😀 secret";
const char* const longPassword =
    "qwertyuiopasdfghjklzxcvbnmqwertyuiopasdfghjklzxcvbnmqwertyuiopasdf"
    "ghjklzxcvbnmqwertyuiopasdfghjklzxcvbnmqwertyuiopasdfghjklzxcv";

QString madePdf(const QString& name) {
    return qEnvironmentVariable("PARVILON_TOOL_PDFS") + QLatin1Char('/') + name;
}

QString corpusFolder() {
    return qEnvironmentVariable("PARVILON_PDF_CORPUS");
}

// A path in the public corpus, or an empty text when the corpus is not there.
QString corpusPdf(const QString& relative) {
    if (corpusFolder().isEmpty() || !QDir(corpusFolder()).exists()) {
        return {};
    }
    return corpusFolder() + QLatin1Char('/') + relative;
}

QString decoded(const std::u32string& text) {
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

QMap<QString, QString> infoOf(const DocumentFacts& facts) {
    QMap<QString, QString> info;
    for (const InfoEntry& entry : facts.info) {
        info.insert(decoded(decodeNameBytes(entry.key)), decoded(decodeTextString(entry.value)));
    }
    return info;
}

ReadResult read(const QString& path, const QString& password = {}) {
    std::optional<std::string> pw;
    if (!password.isNull()) {
        pw = password.toStdString();
    }
    return readPdfFile(path.toStdString(), pw);
}

QByteArray utf8Dump(const ReadResult& result) {
    return QByteArray::fromStdString(formatDump(result.facts, TextStyle::Utf8));
}

} // namespace

class ToolReadingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(QFile::exists(madePdf("manifest.json")),
                 "run the tool_make_test_pdfs test first (PARVILON_TOOL_PDFS)");
    }

    // Whole dumps of made documents, in UTF-8 style so the expectations stay readable. The
    // comparison with pdftk-java checks every other made document.
    void wholeDump_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray ids = "PdfID0: 0123456789abcdef0123456789abcdef\n"
                               "PdfID1: fedcba9876543210fedcba9876543210\n";
        QTest::newRow("plain") << "plain.pdf"
                               << "InfoBegin\nInfoKey: Author\nInfoValue: Ann Example\n"
                                  "InfoBegin\nInfoKey: CreationDate\nInfoValue: "
                                  "D:20210831143005+02'00'\n"
                                  "InfoBegin\nInfoKey: Creator\nInfoValue: Writer\n"
                                  "InfoBegin\nInfoKey: Keywords\nInfoValue: report, figures\n"
                                  "InfoBegin\nInfoKey: ModDate\nInfoValue: D:20211301\n"
                                  "InfoBegin\nInfoKey: Producer\nInfoValue: Parvilon test maker\n"
                                  "InfoBegin\nInfoKey: Subject\nInfoValue: Figures\n"
                                  "InfoBegin\nInfoKey: Title\nInfoValue: Annual report 2020\n" +
                                      ids + "NumberOfPages: 1\n";
        QTest::newRow("information dictionary inside the trailer")
            << "info-direct.pdf" << utf8Dump(read(madePdf("plain.pdf")));
        QTest::newRow("UTF-16 text, unpaired surrogates")
            << "utf16.pdf"
            << "InfoBegin\nInfoKey: Author\nInfoValue: 😀 smile\n"
               "InfoBegin\nInfoKey: Creator\nInfoValue: \n"
               "InfoBegin\nInfoKey: Keywords\nInfoValue: <&>\n"
               "InfoBegin\nInfoKey: Subject\nInfoValue: A\n"
               "InfoBegin\nInfoKey: Title\nInfoValue: 中文 Café €\n" +
                   ids + "NumberOfPages: 1\n";
        QTest::newRow("only string entries, resolved through references")
            << "non-string.pdf"
            << "InfoBegin\nInfoKey: OnlyControls\nInfoValue: \n"
               "InfoBegin\nInfoKey: Ref\nInfoValue: indirect value\n"
               "InfoBegin\nInfoKey: Title\nInfoValue: only this and Ref\n" +
                   ids + "NumberOfPages: 1\n";
        QTest::newRow("no pages") << "no-pages.pdf"
                                  << "InfoBegin\nInfoKey: Title\nInfoValue: none\n" + ids +
                                         "NumberOfPages: 0\n";
        const QByteArray title = "InfoBegin\nInfoKey: Title\nInfoValue: Annual report 2020\n";
        QTest::newRow("ID missing") << "no-id.pdf"
                                    << "InfoBegin\nInfoKey: Author\nInfoValue: Ann Example\n" +
                                           title + "NumberOfPages: 1\n";
        QTest::newRow("ID items not strings")
            << "id-not-strings.pdf" << title + "PdfID0: 61\nPdfID1: \nNumberOfPages: 1\n";
        QTest::newRow("ID empty second item")
            << "id-odd.pdf" << title + "PdfID0: 00ff10\nPdfID1: \nNumberOfPages: 1\n";
        QTest::newRow("decoding pdftk-java lacks")
            << "decoding-beyond-pdftk.pdf"
            << "InfoBegin\nInfoKey: Author\nInfoValue: Café\n"
               "InfoBegin\nInfoKey: Keywords\nInfoValue: bad \uFFFD \uFFFD end\n"
               "InfoBegin\nInfoKey: Subject\nInfoValue: ˘ˇˆ˙˝˛˚˜\n"
               "InfoBegin\nInfoKey: Title\nInfoValue: Café 😀\n" +
                   ids + "NumberOfPages: 1\n";
        QTest::newRow("XMP only, PDF 2.0")
            << "xmp-only.pdf"
            << "InfoBegin\nInfoKey: Author\nInfoValue: Ann Example; Bob Beispiel\n"
               "InfoBegin\nInfoKey: CreationDate\nInfoValue: D:20170524103011+05'30'\n"
               "InfoBegin\nInfoKey: Creator\nInfoValue: Writer 9\n"
               "InfoBegin\nInfoKey: Keywords\nInfoValue: report, 2017\n"
               "InfoBegin\nInfoKey: ModDate\nInfoValue: D:20170524103011Z\n"
               "InfoBegin\nInfoKey: Producer\nInfoValue: Parvilon XMP maker\n"
               "InfoBegin\nInfoKey: Subject\nInfoValue: Figures & facts <2017>\n"
               "InfoBegin\nInfoKey: Title\nInfoValue: Annual report 2017 – café ☕\n" +
                   ids + "NumberOfPages: 2\n";
        QTest::newRow("dictionary wins, XMP fills what it lacks")
            << "xmp-and-info.pdf"
            << "InfoBegin\nInfoKey: Author\nInfoValue: Info author\n"
               "InfoBegin\nInfoKey: ModDate\nInfoValue: D:20200102\n"
               "InfoBegin\nInfoKey: Producer\nInfoValue: XMP producer\n"
               "InfoBegin\nInfoKey: Subject\nInfoValue: XMP subject\n"
               "InfoBegin\nInfoKey: Title\nInfoValue: Info title\n" +
                   ids + "NumberOfPages: 2\n";
        QTest::newRow("broken XMP ignored")
            << "xmp-broken.pdf"
            << "InfoBegin\nInfoKey: Title\nInfoValue: Only the dictionary\n" + ids +
                   "NumberOfPages: 2\n";
        QTest::newRow("XMP declaring entities ignored")
            << "xmp-entities.pdf" << ids + "NumberOfPages: 2\n";
    }
    void wholeDump() {
        QFETCH(QString, file);
        QFETCH(QByteArray, expected);
        const ReadResult result = read(madePdf(file));
        QVERIFY2(result.ok, result.error.c_str());
        QCOMPARE(utf8Dump(result), expected);
    }

    void namedValues_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("five entities kept raw") << "escapes.pdf"
                                                << "Title"
                                                << "Tom & Jerry <b> \"q\" 'a'";
        QTest::newRow("custom key TitleX") << "custom-keys.pdf"
                                           << "TitleX"
                                           << "custom";
        QTest::newRow("20,000 characters") << "long-values.pdf"
                                           << "Title" << QString("long ").repeated(4000);
        QTest::newRow("line breaks kept in the value")
            << "controls.pdf"
            << "Title"
            << "line one\nInfoKey: Fake\r\nInfoValue: forged";
        QTest::newRow("read piecemeal") << "large.pdf"
                                        << "Title"
                                        << "Annual report 2020";
    }
    void namedValues() {
        QFETCH(QString, file);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const ReadResult result = read(madePdf(file));
        QVERIFY2(result.ok, result.error.c_str());
        QCOMPARE(infoOf(result.facts).value(key), value);
    }

    // Every encryption, opened with its user and with its owner password.
    void encryptedOpens_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("password"); // null: none given
        QTest::addColumn<QString>("title");    // null: the document has none
        QTest::addColumn<long long>("pages");
        const struct {
            const char* file;
            const char* user;
            const char* owner;
        } made[] = {
            {"enc-rc4-40.pdf", "user40", "owner40"},
            {"enc-rc4-128.pdf", "user128", "owner128"},
            {"enc-aes-128.pdf", "useraes", "owneraes"},
            {"enc-aes-256-r5.pdf", "userr5", "ownerr5"},
            {"enc-aes-256-r6.pdf", "userr6", "ownerr6"},
            {"enc-aes-256-nonascii.pdf", "âge", "hôtel"},
            {"enc-rc4-128-nonascii.pdf", "âge", "hôtel"},
            {"enc-aes-256-long.pdf", longPassword, "owner"},
        };
        for (const auto& m : made) {
            QTest::addRow("%s user", m.file) << madePdf(m.file) << m.user << secretTitle << 3LL;
            QTest::addRow("%s owner", m.file) << madePdf(m.file) << m.owner << secretTitle << 3LL;
        }
        for (const char* file : {"strings-plain.pdf", "strings-plain-object-stream.pdf"}) {
            QTest::addRow("%s user", file) << madePdf(file) << "user" << secretTitle << 3LL;
            QTest::addRow("%s owner", file) << madePdf(file) << "owner" << secretTitle << 3LL;
        }
        QTest::newRow("large file, password tried twice")
            << madePdf("enc-large.pdf") << "âge" << QString() << 1LL;
        QTest::newRow("AES-256 empty user password, none given")
            << madePdf("enc-aes-256-owner-only.pdf") << QString() << secretTitle << 3LL;
        QTest::newRow("AES-256 empty user password, owner given")
            << madePdf("enc-aes-256-owner-only.pdf") << "owneronly" << secretTitle << 3LL;
        // A password typed in a single-byte locale reaches the AES-256 check as UTF-8.
        QTest::newRow("AES-256 password typed as ISO 8859-1")
            << madePdf("enc-aes-256-nonascii.pdf") << QString::fromLatin1("h\xF4tel") << secretTitle
            << 3LL;

        const struct {
            const char* file;
            const char* password;
            long long pages;
        } corpus[] = {
            {"qpdf/enc-R2,V1,U=view,O=master.pdf", "view", 30},
            {"qpdf/enc-R2,V1,U=view,O=master.pdf", "master", 30},
            {"qpdf/enc-R3,V2,U=view,O=master.pdf", "view", 30},
            {"qpdf/enc-R3,V2,U=view,O=master.pdf", "master", 30},
            {"qpdf/enc-long-password.pdf", "asdf asdf asdf asdf asdf asdf qwer", 30},
            {"qpdf/c-r2.pdf", "user1", 30},
            {"qpdf/c-r3.pdf", "user2", 30},
            {"qpdf/c-r3.pdf", "owner2", 30},
            {"qpdf/c-r4.pdf", "user2", 30},
            {"qpdf/c-r4.pdf", "owner2", 30},
            {"qpdf/c-r5-in.pdf", "user3", 30},
            {"qpdf/c-r6-in.pdf", "owner4", 30},
            {"qpdf/enc-XI-R6,V5,U=view,O=master.pdf", "view", 30},
            {"qpdf/enc-XI-R6,V5,U=view,O=master.pdf", "master", 30},
            {"qpdf/enc-XI-R6,V5,O=master.pdf", nullptr, 30},
            {"qpdf/enc-XI-R6,V5,O=master.pdf", "master", 30},
            {"qpdf/enc-XI-long-password.pdf", longPassword, 30},
            {"qpdf/V4-aes.pdf", nullptr, 30},
            {"qpdf/leading-junk.pdf", nullptr, 30},
            {"qpdf/metadata-crypt-filter.pdf", nullptr, 30},
            {"pdfium/encrypted.pdf", "1234", 1},
            {"pdfium/encrypted.pdf", "5678", 1},
            {"pdfium/encrypted_hello_world_r2.pdf", "âge", 1},
            {"pdfium/encrypted_hello_world_r2.pdf", "hôtel", 1},
            {"pdfium/encrypted_hello_world_r3.pdf", "âge", 1},
            {"pdfium/encrypted_hello_world_r3.pdf", "hôtel", 1},
            {"pdfium/encrypted_hello_world_r5.pdf", "âge", 1},
            {"pdfium/encrypted_hello_world_r5.pdf", "hôtel", 1},
            {"pdfium/encrypted_hello_world_r6.pdf", "âge", 1},
            {"pdfium/encrypted_hello_world_r6.pdf", "hôtel", 1},
        };
        for (const auto& c : corpus) {
            QTest::addRow("%s %s", c.file, c.password ? c.password : "(none)")
                << corpusPdf(c.file) << (c.password ? QString(c.password) : QString()) << QString()
                << c.pages;
        }
    }
    void encryptedOpens() {
        QFETCH(QString, path);
        QFETCH(QString, password);
        QFETCH(QString, title);
        QFETCH(long long, pages);
        if (path.isEmpty()) {
            QSKIP("the public PDF corpus is not there");
        }
        const ReadResult result = read(path, password);
        QVERIFY2(result.ok, result.error.c_str());
        QCOMPARE(result.facts.pageCount.value_or(-1), pages);
        QCOMPARE(result.facts.ids.size(), std::size_t{2});
        if (!title.isNull()) {
            QCOMPARE(infoOf(result.facts).value("Title"), title);
            QCOMPARE(infoOf(result.facts).value("Author"), QString("Ann & Bob <ab>"));
        }
    }

    void encryptedRefused_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("error");
        const QString required = "encrypted: a password is required";
        const QString wrong = "wrong password";
        for (const char* file :
             {"enc-rc4-40.pdf", "enc-aes-128.pdf", "enc-aes-256-r5.pdf", "enc-aes-256-r6.pdf"}) {
            QTest::addRow("%s without password", file) << madePdf(file) << QString() << required;
            QTest::addRow("%s empty password", file) << madePdf(file) << "" << required;
            QTest::addRow("%s wrong password", file) << madePdf(file) << "userr7" << wrong;
        }
        QTest::newRow("password of another file")
            << madePdf("enc-aes-256-r6.pdf") << "userr5" << wrong;
        QTest::newRow("password's case matters")
            << madePdf("enc-aes-256-r6.pdf") << "USERR6" << wrong;
        QTest::newRow("password cut by one character")
            << madePdf("enc-aes-256-long.pdf") << QString(longPassword).chopped(1) << wrong;
        QTest::newRow("non-ASCII password without its accent")
            << madePdf("enc-aes-256-nonascii.pdf") << "age" << wrong;
        QTest::newRow("wrong password for a file with empty user password")
            << madePdf("enc-aes-256-owner-only.pdf") << "nope" << wrong;
        QTest::newRow("strings and streams encrypted, no password")
            << madePdf("encrypt-standard-filter.pdf") << QString() << required;
        QTest::newRow("only embedded files encrypted, wrong password")
            << madePdf("encrypt-identity.pdf") << "nope" << wrong;
        QTest::newRow("strings plain, page tree in an encrypted object stream")
            << madePdf("strings-plain-object-stream.pdf") << QString() << required;
        QTest::newRow("strings plain, wrong password")
            << madePdf("strings-plain.pdf") << "nope" << wrong;
        QTest::newRow("AES-256 R6 from the corpus")
            << corpusPdf("pdfium/encrypted_hello_world_r6.pdf") << QString() << required;
    }
    void encryptedRefused() {
        QFETCH(QString, path);
        QFETCH(QString, password);
        QFETCH(QString, error);
        if (path.isEmpty()) {
            QSKIP("the public PDF corpus is not there");
        }
        const ReadResult result = read(path, password);
        QVERIFY(!result.ok);
        QCOMPARE(QString::fromStdString(result.error), error);
        QVERIFY(result.facts.info.empty());
    }

    // Damage qpdf can repair gives what it recovers.
    void damagedButRead_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title"); // null: the document has none
        QTest::addColumn<long long>("pages");
        QTest::addColumn<QString>("warning"); // part of the expected warning; empty: none
        QTest::newRow("no cross-reference table or trailer")
            << madePdf("truncated.pdf") << "Annual report 2020" << 1LL
            << "rebuilt the trailer from the objects found";
        QTest::newRow("startxref in the wrong place")
            << madePdf("bad-startxref.pdf") << "Annual report 2020" << 1LL << QString();
        QTest::newRow("every offset wrong")
            << madePdf("shifted-objects.pdf") << "Annual report 2020" << 1LL << QString();
        QTest::newRow("/Count above the pages")
            << madePdf("count-too-high.pdf") << "3 pages" << 3LL << QString();
        QTest::newRow("/Count zero over nodes")
            << madePdf("count-zero.pdf") << "8 pages" << 8LL << QString();
        QTest::newRow("/Count beyond all objects")
            << madePdf("count-huge.pdf") << "2 pages" << 2LL << QString();
        QTest::newRow("xref loop")
            << corpusPdf("qpdf/append-xref-loop.pdf") << QString() << 30LL << QString();
        QTest::newRow("xref loop 2")
            << corpusPdf("qpdf/issue-149.pdf") << QString() << 1LL << QString();
        QTest::newRow("xref stream in object stream")
            << corpusPdf("qpdf/xref-compressed-in-compressed.pdf") << QString() << 30LL
            << QString();
        QTest::newRow("page count wrong in /Count")
            << corpusPdf("qpdf/many-nulls.pdf") << QString() << 1LL << QString();
        const QString report = "Annual report 2020";
        const QString rebuilt = "rebuilt the trailer from the objects found";
        const QString walked = "the page tree cannot be walked";
        const QString spared = "read without a password: the encryption leaves strings";
        const QString huge = "skipped numbers too large";
        QTest::newRow("objects only") << madePdf("objects-only.pdf") << report << 2LL << rebuilt;
        QTest::newRow("objects only, read piecemeal")
            << madePdf("large-objects-only.pdf") << report << 1LL << rebuilt;
        QTest::newRow("/Encrypt not a dictionary")
            << madePdf("encrypt-not-dictionary.pdf") << report << 1LL
            << "read as unencrypted: /Encrypt in the trailer is not a dictionary";
        QTest::newRow("only embedded files encrypted")
            << madePdf("encrypt-identity.pdf") << report << 2LL << spared;
        // The encrypted XMP metadata would add a warning of its own.
        QTest::newRow("strings plain, streams encrypted")
            << madePdf("strings-plain.pdf") << secretTitle << 3LL << spared;
        QTest::newRow("strings plain, streams encrypted, fonts in an object stream")
            << madePdf("strings-plain-fonts-packed.pdf") << secretTitle << 3LL << spared;
        QTest::newRow("object number beyond int")
            << madePdf("huge-object-number.pdf") << report << 2LL << huge;
        QTest::newRow("startxref beyond 64 bits")
            << madePdf("huge-startxref.pdf") << report << 2LL << huge;
        QTest::newRow("page objects outside the tree")
            << madePdf("pages-outside-tree.pdf") << report << 2LL
            << "the page tree holds no page; counted the page objects in the file";
        QTest::newRow("page tree naming itself")
            << madePdf("page-tree-loop.pdf") << report << 3LL << walked;
        const struct {
            const char* file;
            long long pages;
            const char* warning;
        } corpus[] = {
            {"bad16.pdf", 1, "rebuilt the trailer"},
            {"recover-xref-stream.pdf", 1, "read through the last cross-reference stream"},
            {"pages-loop.pdf", 1, "the page tree cannot be walked"},
            {"minimal-linearize-pass1.pdf", 1, "rebuilt the trailer"},
            {"nontrivial-crypt-filter.pdf", 1, "read without a password"},
            {"unfilterable-with-crypt.pdf", 30, "read without a password"},
            {"enc-XI-R6,V5,U=attachment,encrypted-attachments.pdf", 30, "read without a password"},
        };
        for (const auto& c : corpus) {
            QTest::addRow("qpdf-suite/%s", c.file)
                << corpusPdf(QString("qpdf-suite/") + c.file) << QString() << c.pages << c.warning;
        }
    }
    void damagedButRead() {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QFETCH(long long, pages);
        QFETCH(QString, warning);
        if (path.isEmpty()) {
            QSKIP("the public PDF corpus is not there");
        }
        const ReadResult result = read(path);
        QVERIFY2(result.ok, result.error.c_str());
        QCOMPARE(result.facts.pageCount.value_or(-1), pages);
        if (!title.isNull()) {
            QCOMPARE(infoOf(result.facts).value("Title"), title);
        }
        QStringList warnings;
        for (const std::string& line : result.warnings) {
            QVERIFY(line.find('\n') == std::string::npos);
            warnings << QString::fromStdString(line);
        }
        QCOMPARE(warnings.size(), warning.isEmpty() ? 0 : 1);
        QVERIFY2(warnings.join('\n').contains(warning), qPrintable(warnings.join('\n')));
    }

    void unreadable_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("errorStart");
        const QString notPdf = "not a readable PDF: ";
        QTest::newRow("empty file") << madePdf("empty.pdf") << notPdf;
        QTest::newRow("header only") << madePdf("header-only.pdf") << notPdf;
        QTest::newRow("text file") << madePdf("not-a-pdf.pdf") << notPdf;
        QTest::newRow("random bytes") << madePdf("garbage.pdf") << notPdf;
        QTest::newRow("five bytes") << corpusPdf("qpdf/bad1.pdf") << notPdf;
        QTest::newRow("startxref only") << corpusPdf("qpdf/issue-335b.pdf") << notPdf;
        QTest::newRow("deep nesting") << corpusPdf("qpdf/issue-146.pdf") << notPdf;
        QTest::newRow("missing file") << madePdf("no-such-file.pdf") << "No such file or directory";
        QTest::newRow("folder") << qEnvironmentVariable("PARVILON_TOOL_PDFS") << "Is a directory";
    }
    void unreadable() {
        QFETCH(QString, path);
        QFETCH(QString, errorStart);
        if (path.isEmpty()) {
            QSKIP("the public PDF corpus is not there");
        }
        const ReadResult result = read(path);
        QVERIFY(!result.ok);
        QVERIFY2(QString::fromStdString(result.error).startsWith(errorStart), result.error.c_str());
        QVERIFY(result.error.find('\n') == std::string::npos);
    }

    // A FIFO named like a PDF must not block the reader (this test would hang).
    void fifoIsRefused() {
        QTemporaryDir folder;
        const QString fifo = folder.filePath("waiting.pdf");
        QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        const ReadResult result = read(fifo);
        QVERIFY(!result.ok);
        QCOMPARE(QString::fromStdString(result.error), QString("not a regular file"));
    }

    void memoryAndFileAgree_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("password");
        QTest::newRow("plain") << "plain.pdf" << QString();
        QTest::newRow("UTF-16") << "utf16.pdf" << QString();
        QTest::newRow("damaged") << "truncated.pdf" << QString();
        QTest::newRow("AES-256 owner") << "enc-aes-256-r6.pdf"
                                       << "ownerr6";
        QTest::newRow("RC4 non-ASCII") << "enc-rc4-128-nonascii.pdf"
                                       << "âge";
        QTest::newRow("wrong password") << "enc-aes-128.pdf"
                                        << "nope";
        QTest::newRow("not a PDF") << "garbage.pdf" << QString();
        QTest::newRow("large") << "large.pdf" << QString();
        QTest::newRow("repaired") << "objects-only.pdf" << QString();
        QTest::newRow("repaired, large") << "large-objects-only.pdf" << QString();
        QTest::newRow("XMP") << "xmp-only.pdf" << QString();
        QTest::newRow("large encrypted") << "enc-large.pdf"
                                         << "hôtel";
        QTest::newRow("large, wrong password") << "enc-large.pdf"
                                               << "hotel";
    }
    void memoryAndFileAgree() {
        QFETCH(QString, file);
        QFETCH(QString, password);
        QFile pdf(madePdf(file));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        std::optional<std::string> pw;
        if (!password.isNull()) {
            pw = password.toStdString();
        }
        const ReadResult fromMemory = readPdfBuffer(
            std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), pw);
        const ReadResult fromFile = read(madePdf(file), password);
        QCOMPARE(fromMemory.ok, fromFile.ok);
        QCOMPARE(utf8Dump(fromMemory), utf8Dump(fromFile));
        if (!fromFile.ok) {
            // Only qpdf's detail may name the source differently; the kind of failure agrees.
            QCOMPARE(QString::fromStdString(fromMemory.error).section(':', 0, 0),
                     QString::fromStdString(fromFile.error).section(':', 0, 0));
        }
    }
};

QTEST_APPLESS_MAIN(ToolReadingTest)
#include "tst_tool_reading.moc"
