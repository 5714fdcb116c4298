// The audit's lines (dump_data ... audit) of the made test PDFs, read by both readers; the
// encryption lines of documents the password given does not open; the walks' limits; and
// what makes a file linearized.

#include "tool/DocumentAudit.h"
#include "tool/DumpFormat.h"
#include "tool/Linearization.h"
#include "tool/PdfReading.h"
#include "tool/QpdfAuditSource.h"

#include <qpdf/QPDF.hh>

#include <QFile>
#include <QMap>
#include <QTest>

#include <initializer_list>
#include <utility>

using namespace pdfinfodump;

namespace {

using Changes = std::initializer_list<std::pair<const char*, const char*>>;

QString madePdf(const QString& name) {
    return qEnvironmentVariable("PARVILON_TOOL_PDFS") + QLatin1Char('/') + name;
}

// The lines for these keys, in the dump's order; a key without a value has no line.
QByteArray lines(QMap<QByteArray, QByteArray> values, Changes changes) {
    static const char* const order[] = {
        "PageSize", "PageSizeVaries", "Encryption", "PasswordToOpen", "Tagged",      "Language",
        "PdfA",     "Linearized",     "Form",       "JavaScript",     "Attachments", "Signatures"};
    for (const auto& [key, value] : changes) {
        values[key] = value;
    }
    QByteArray out;
    for (const char* key : order) {
        if (!values.value(key).isEmpty()) {
            out += QByteArray(key) + ": " + values.value(key) + '\n';
        }
    }
    return out;
}

// What the walks of the document's objects give for an unencrypted document of A4 pages
// without any feature, with these changed.
QByteArray walked(Changes changes) {
    return lines({{"PageSize", "595 842"},
                  {"PageSizeVaries", "No"},
                  {"Tagged", "No"},
                  {"Form", "None"},
                  {"JavaScript", "No"},
                  {"Attachments", "0"},
                  {"Signatures", "0"}},
                 changes);
}

// The whole audit of such a document, with these changed.
QByteArray audit(Changes changes) {
    return lines({{"PageSize", "595 842"},
                  {"PageSizeVaries", "No"},
                  {"Encryption", "None"},
                  {"PasswordToOpen", "No"},
                  {"Tagged", "No"},
                  {"Linearized", "No"},
                  {"Form", "None"},
                  {"JavaScript", "No"},
                  {"Attachments", "0"},
                  {"Signatures", "0"}},
                 changes);
}

// The dump's lines after its usual ones.
QByteArray auditPart(const DocumentFacts& facts) {
    QByteArray out;
    const QByteArray dump = QByteArray::fromStdString(formatDump(facts, TextStyle::Utf8));
    for (const QByteArray& line : dump.split('\n')) {
        if (!line.isEmpty() && !line.startsWith("Info") && !line.startsWith("PdfID") &&
            !line.startsWith("NumberOfPages")) {
            out += line + '\n';
        }
    }
    return out;
}

ReadResult readAudited(const QString& path, const QString& password, bool quickReader) {
    FileReading reading;
    reading.audit = pdfinfodump::AuditLimits{};
    reading.quickReader = quickReader;
    std::optional<std::string> given;
    if (!password.isNull()) {
        given = password.toStdString();
    }
    return readPdfFile(path.toStdString(), given, reading);
}

} // namespace

class ToolAuditTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(QFile::exists(madePdf("manifest.json")),
                 "run the tool_make_test_pdfs test first (PARVILON_TOOL_PDFS)");
    }

    void auditLines_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("password"); // null: none given
        QTest::addColumn<QByteArray>("expected");
        const QString none;
        QTest::newRow("nothing to report") << "plain.pdf" << none << audit({});
        QTest::newRow("tagged, language, PDF/A as attributes")
            << "audit-tagged.pdf" << none
            << audit({{"Tagged", "Yes"}, {"Language", "en-GB"}, {"PdfA", "2B"}});
        QTest::newRow("PDF/A as elements, language as UTF-16 text")
            << "audit-pdfa-element.pdf" << none
            << audit({{"Language", "fr-CA é <&>"}, {"PdfA", "1A"}});
        QTest::newRow("signature fields among others")
            << "audit-form.pdf" << none << audit({{"Form", "AcroForm"}, {"Signatures", "4"}});
        QTest::newRow("form without fields")
            << "audit-form-empty.pdf" << none << audit({{"Form", "AcroForm"}});
        QTest::newRow("XFA form") << "audit-xfa.pdf" << none << audit({{"Form", "XFA"}});
        for (const char* file :
             {"audit-js-names.pdf", "audit-js-open-action-next.pdf", "audit-js-document-aa.pdf",
              "audit-js-page-aa.pdf", "audit-js-link.pdf", "audit-js-widget.pdf",
              "audit-js-rendition.pdf"}) {
            QTest::addRow("%s", file) << file << none << audit({{"JavaScript", "Yes"}});
        }
        QTest::newRow("script of a form field's calculation")
            << "audit-js-field.pdf" << none << audit({{"JavaScript", "Yes"}, {"Form", "AcroForm"}});
        QTest::newRow("scripts not run, or past the first page")
            << "audit-no-js.pdf" << none << audit({});
        QTest::newRow("embedded files in a name tree")
            << "audit-attachments.pdf" << none << audit({{"Attachments", "3"}});
        QTest::newRow("name and field trees naming their ancestors")
            << "audit-loops.pdf" << none << audit({{"Attachments", "1"}, {"Form", "AcroForm"}});
        QTest::newRow("page tree naming itself") << "page-tree-loop.pdf" << none << audit({});
        QTest::newRow("first page turned as wide as the next, to the digits written")
            << "audit-rotated.pdf" << none << audit({{"PageSize", "841.89 595.276"}});
        QTest::newRow("crop box cut to the media box, a later page turned")
            << "audit-sizes-vary.pdf" << none
            << audit({{"PageSize", "595 480"}, {"PageSizeVaries", "Yes"}});
        QTest::newRow("linearized") << "linearized.pdf" << none << audit({{"Linearized", "Yes"}});

        const auto locked = [](const char* encryption) {
            return audit({{"Encryption", encryption}, {"PasswordToOpen", "Yes"}});
        };
        QTest::newRow("RC4 40 bits") << "enc-rc4-40.pdf"
                                     << "user40" << locked("RC4-40");
        QTest::newRow("RC4 128 bits") << "enc-rc4-128.pdf"
                                      << "owner128" << locked("RC4-128");
        QTest::newRow("RC4 128 bits by crypt filter") << "enc-rc4-128-v4.pdf"
                                                      << "userv4" << locked("RC4-128");
        QTest::newRow("AES-128") << "enc-aes-128.pdf"
                                 << "useraes" << locked("AES-128");
        QTest::newRow("AES-256") << "enc-aes-256-r6.pdf"
                                 << "ownerr6" << locked("AES-256");
        const QByteArray open = audit({{"Encryption", "AES-256"}});
        QTest::newRow("empty user password, none given")
            << "enc-aes-256-owner-only.pdf" << none << open;
        QTest::newRow("empty user password, owner's given") << "enc-aes-256-owner-only.pdf"
                                                            << "owneronly" << open;
        QTest::newRow("only embedded files encrypted") << "encrypt-identity.pdf" << none << open;
        // The XMP metadata, a stream, stays unread.
        QTest::newRow("strings plain, streams encrypted, no password")
            << "strings-plain.pdf" << none << locked("RC4-128");
    }
    void auditLines() {
        QFETCH(QString, file);
        QFETCH(QString, password);
        QFETCH(QByteArray, expected);
        for (const bool quickReader : {true, false}) {
            const ReadResult result = readAudited(madePdf(file), password, quickReader);
            QVERIFY2(result.ok, result.error.c_str());
            QCOMPARE(auditPart(result.facts), expected);
        }
    }

    void refusedPassword_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("error");
        const QString required = "encrypted: a password is required";
        QTest::newRow("none given")
            << "enc-aes-128.pdf" << QString()
            << QByteArray("Encryption: AES-128\nPasswordToOpen: Yes\n") << required;
        QTest::newRow("wrong one")
            << "enc-rc4-40.pdf"
            << "nope" << QByteArray("Encryption: RC4-40\nPasswordToOpen: Yes\n")
            << "wrong password";
        QTest::newRow("wrong one where none is needed")
            << "enc-aes-256-owner-only.pdf"
            << "nope" << QByteArray("Encryption: AES-256\nPasswordToOpen: No\n")
            << "wrong password";
        QTest::newRow("strings plain, objects in an encrypted object stream")
            << "strings-plain-object-stream.pdf" << QString()
            << QByteArray("Encryption: RC4-128\nPasswordToOpen: Yes\n") << required;
    }
    void refusedPassword() {
        QFETCH(QString, file);
        QFETCH(QString, password);
        QFETCH(QByteArray, expected);
        QFETCH(QString, error);
        const ReadResult result = readAudited(madePdf(file), password, true);
        QVERIFY(!result.ok);
        QCOMPARE(QString::fromStdString(result.error), error);
        QCOMPARE(auditPart(result.facts), expected);
        QVERIFY(result.facts.info.empty() && !result.facts.pageCount);
    }

    void limits_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("limit");
        QTest::addColumn<long long>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("page tree") << "page-tree.pdf"
                                   << "pageTreeNodes" << 10LL << walked({{"PageSizeVaries", ""}});
        QTest::newRow("page tree, a difference found before")
            << "audit-sizes-vary.pdf"
            << "pageTreeNodes" << 5LL
            << walked({{"PageSize", "595 480"}, {"PageSizeVaries", "Yes"}});
        QTest::newRow("the first page alone, asked for")
            << "audit-sizes-vary.pdf"
            << "everyPage" << 0LL << walked({{"PageSize", "595 480"}, {"PageSizeVaries", ""}});
        QTest::newRow("name tree") << "audit-attachments.pdf"
                                   << "nameTreeNodes" << 2LL << walked({{"Attachments", ""}});
        QTest::newRow("field tree")
            << "audit-form.pdf"
            << "formFields" << 3LL
            << walked({{"Form", "AcroForm"}, {"Signatures", ""}, {"JavaScript", ""}});
        QTest::newRow("action chain") << "audit-js-open-action-next.pdf"
                                      << "chainedActions" << 1LL << walked({{"JavaScript", ""}});
        QTest::newRow("annotations of the first page")
            << "audit-js-link.pdf"
            << "annotations" << 0LL << walked({{"JavaScript", ""}});
        QTest::newRow("a script found before the limit")
            << "audit-js-names.pdf"
            << "annotations" << 0LL << walked({{"JavaScript", "Yes"}});
    }
    void limits() {
        QFETCH(QString, file);
        QFETCH(QString, limit);
        QFETCH(long long, value);
        QFETCH(QByteArray, expected);
        AuditLimits limits;
        long long* const field = limit == "pageTreeNodes"    ? &limits.pageTreeNodes
                                 : limit == "nameTreeNodes"  ? &limits.nameTreeNodes
                                 : limit == "formFields"     ? &limits.formFields
                                 : limit == "chainedActions" ? &limits.chainedActions
                                                             : &limits.annotations;
        *field = value;
        limits.everyPage = limit != "everyPage";
        QPDF pdf;
        pdf.processFile(madePdf(file).toStdString().c_str());
        QpdfAuditSource source(pdf, true);
        DocumentFacts facts;
        facts.audit = auditDocument(source, limits);
        QCOMPARE(auditPart(facts), expected);
    }

    void linearization_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<long long>("size");
        QTest::addColumn<bool>("linearized");
        const QByteArray header = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n";
        const QByteArray object = "4 0 obj\n<< /Linearized 1 /L 5000 /H [ 600 120 ] /N 3 >>\n";
        QTest::newRow("its length") << header + object + "endobj\n" << 5000LL << true;
        QTest::newRow("another length") << header + object << 5001LL << false;
        QTest::newRow("after a comment")
            << header + "% written by hand\n" + object << 5000LL << true;
        QTest::newRow("flag a real")
            << header + QByteArray(object).replace("/Linearized 1", "/Linearized 1.0") << 5000LL
            << true;
        QTest::newRow("flag zero")
            << header + QByteArray(object).replace("/Linearized 1", "/Linearized 0") << 5000LL
            << false;
        QTest::newRow("length a real")
            << header + QByteArray(object).replace("/L 5000", "/L 5000.0") << 5000LL << false;
        QTest::newRow("not the first object")
            << header + "1 0 obj\n<< /Type /Catalog >>\nendobj\n" + object << 5000LL << false;
        QTest::newRow("cut short") << header + object.left(30) << 5000LL << false;
    }
    void linearization() {
        QFETCH(QByteArray, head);
        QFETCH(long long, size);
        QTEST(isLinearized(std::string_view(head.constData(), static_cast<size_t>(head.size())),
                           size),
              "linearized");
    }
};

QTEST_APPLESS_MAIN(ToolAuditTest)
#include "tst_tool_audit.moc"
