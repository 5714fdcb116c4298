// The tool's command line, the password read from standard input, and the password forms
// tried for non-ASCII passwords.

#include "tool/CommandLine.h"
#include "tool/PasswordPrompt.h"
#include "tool/PdfReading.h"

#include <QTest>

#include <cstdio>

using namespace pdfinfodump;

Q_DECLARE_METATYPE(pdfinfodump::PasswordSource)
Q_DECLARE_METATYPE(pdfinfodump::TextStyle)

namespace {

std::vector<std::string> toStd(const QStringList& list) {
    std::vector<std::string> out;
    for (const QString& item : list) {
        out.push_back(item.toStdString());
    }
    return out;
}

} // namespace

class ToolCommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void acceptedCommandLines_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("input");
        QTest::addColumn<PasswordSource>("source");
        QTest::addColumn<QString>("password");
        QTest::addColumn<TextStyle>("style");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("audit");
        const auto none = PasswordSource::None;
        const auto given = PasswordSource::Given;
        const auto prompt = PasswordSource::Prompt;
        const auto escaped = TextStyle::Escaped;

        QTest::newRow("the program's line without password")
            << QStringList{"/d/a b.pdf", "dumpdata", "output", "/tmp/x/result.txt"} << "/d/a b.pdf"
            << none << "" << escaped << "/tmp/x/result.txt" << false;
        QTest::newRow("the program's line with password")
            << QStringList{"A=/d/a.pdf", "input_pw", "A=se cr\"et", "dumpdata", "output", "r.txt"}
            << "/d/a.pdf" << given << "se cr\"et" << escaped << "r.txt" << false;
        QTest::newRow("password from standard input")
            << QStringList{"A=/d/a.pdf", "input_pw", "A=PROMPT", "dumpdata", "output", "r.txt"}
            << "/d/a.pdf" << prompt << "" << escaped << "r.txt" << false;
        QTest::newRow("dump_data to standard output")
            << QStringList{"a.pdf", "dump_data", "output", "-"} << "a.pdf" << none << "" << escaped
            << "-" << false;
        QTest::newRow("dump_data_utf8") << QStringList{"a.pdf", "dump_data_utf8", "output", "o"}
                                        << "a.pdf" << none << "" << TextStyle::Utf8 << "o" << false;
        QTest::newRow("handle without password")
            << QStringList{"B=a.pdf", "dump_data", "output", "o"} << "a.pdf" << none << ""
            << escaped << "o" << false;
        QTest::newRow("bare password for a file without handle")
            << QStringList{"a.pdf", "input_pw", "pw", "dump_data", "output", "o"} << "a.pdf"
            << given << "pw" << escaped << "o" << false;
        QTest::newRow("password holding '=' after its handle")
            << QStringList{"A=a.pdf", "input_pw", "A=x=y", "dump_data", "output", "o"} << "a.pdf"
            << given << "x=y" << escaped << "o" << false;
        QTest::newRow("lower-case prefix is part of the path")
            << QStringList{"a=b.pdf", "dump_data", "output", "o"} << "a=b.pdf" << none << ""
            << escaped << "o" << false;
        QTest::newRow("empty password")
            << QStringList{"A=a.pdf", "input_pw", "A=", "dump_data", "output", "o"} << "a.pdf"
            << given << "" << escaped << "o" << false;
        QTest::newRow("audit after the operation")
            << QStringList{"a.pdf", "dump_data", "audit", "output", "-"} << "a.pdf" << none << ""
            << escaped << "-" << true;
        QTest::newRow("audit with a password and UTF-8")
            << QStringList{"A=a.pdf", "input_pw", "A=PROMPT", "dump_data_utf8",
                           "audit",   "output",   "o"}
            << "a.pdf" << prompt << "" << TextStyle::Utf8 << "o" << true;
        QTest::newRow("the audit of the first page alone")
            << QStringList{"a.pdf", "dump_data_utf8", "audit_first_page", "output", "-"} << "a.pdf"
            << none << "" << TextStyle::Utf8 << "-" << true;
        QTest::newRow("a file and an output named audit")
            << QStringList{"audit", "dumpdata", "output", "audit"} << "audit" << none << ""
            << escaped << "audit" << false;
    }

    void acceptedCommandLines() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, input);
        QFETCH(PasswordSource, source);
        QFETCH(QString, password);
        QFETCH(TextStyle, style);
        QFETCH(QString, output);
        const std::optional<DumpRequest> request = parseCommandLine(toStd(arguments));
        QVERIFY(request.has_value());
        QCOMPARE(QString::fromStdString(request->inputPath), input);
        QCOMPARE(request->passwordSource, source);
        QCOMPARE(QString::fromStdString(request->password), password);
        QCOMPARE(request->words.style, style);
        QCOMPARE(QString::fromStdString(request->outputPath), output);
        QTEST(request->words.audit, "audit");
        QCOMPARE(request->words.auditEveryPage, !arguments.contains("audit_first_page"));
    }

    void refusedCommandLines_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("file only") << QStringList{"a.pdf"};
        QTest::newRow("no output") << QStringList{"a.pdf", "dump_data"};
        QTest::newRow("output without file") << QStringList{"a.pdf", "dump_data", "output"};
        QTest::newRow("empty output") << QStringList{"a.pdf", "dump_data", "output", ""};
        QTest::newRow("empty input") << QStringList{"", "dump_data", "output", "o"};
        QTest::newRow("handle with empty file") << QStringList{"A=", "dump_data", "output", "o"};
        QTest::newRow("other operation") << QStringList{"a.pdf", "burst", "output", "o"};
        QTest::newRow("upper-case operation") << QStringList{"a.pdf", "DUMP_DATA", "output", "o"};
        QTest::newRow("misspelt output") << QStringList{"a.pdf", "dump_data", "out", "o"};
        QTest::newRow("extra argument")
            << QStringList{"a.pdf", "dump_data", "output", "o", "extra"};
        QTest::newRow("two inputs") << QStringList{"a.pdf", "b.pdf", "dump_data", "output", "o"};
        QTest::newRow("password without value") << QStringList{"A=a.pdf", "input_pw"};
        QTest::newRow("password of another handle")
            << QStringList{"A=a.pdf", "input_pw", "B=pw", "dump_data", "output", "o"};
        QTest::newRow("password without handle for a handled file")
            << QStringList{"A=a.pdf", "input_pw", "pw", "dump_data", "output", "o"};
        QTest::newRow("operation missing after password")
            << QStringList{"A=a.pdf", "input_pw", "A=pw", "output", "o"};
        QTest::newRow("audit before the operation")
            << QStringList{"a.pdf", "audit", "dump_data", "output", "o"};
        QTest::newRow("audit after the output")
            << QStringList{"a.pdf", "dump_data", "output", "o", "audit"};
        QTest::newRow("audit twice")
            << QStringList{"a.pdf", "dump_data", "audit", "audit", "output", "o"};
        QTest::newRow("features among other words") << QStringList{"--features", "dump_data"};
    }
    void refusedCommandLines() {
        QFETCH(QStringList, arguments);
        QVERIFY(!parseCommandLine(toStd(arguments)).has_value());
    }

    void featuresAsked_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("asked");
        QTest::newRow("alone") << QStringList{"--features"} << true;
        QTest::newRow("with more") << QStringList{"--features", "a.pdf"} << false;
        QTest::newRow("as a file") << QStringList{"a.pdf", "--features"} << false;
        QTest::newRow("single dash") << QStringList{"-features"} << false;
    }
    void featuresAsked() {
        QFETCH(QStringList, arguments);
        QTEST(asksForFeatures(toStd(arguments)), "asked");
    }

    void readPasswordLine_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("password");
        QTest::newRow("LF") << QByteArray("secret\nnext line\n") << QByteArray("secret");
        QTest::newRow("CR LF") << QByteArray("secret\r\n") << QByteArray("secret");
        QTest::newRow("no line break") << QByteArray("secret") << QByteArray("secret");
        QTest::newRow("nothing") << QByteArray() << QByteArray();
        QTest::newRow("empty line") << QByteArray("\nsecond\n") << QByteArray();
        QTest::newRow("spaces kept") << QByteArray(" a b \n") << QByteArray(" a b ");
        QTest::newRow("inner CR kept") << QByteArray("a\rb\n") << QByteArray("a\rb");
        QTest::newRow("UTF-8 kept") << QByteArray("h\xC3\xB4tel\n") << QByteArray("h\xC3\xB4tel");
        QTest::newRow("overlong line cut") << QByteArray(int(maxPasswordBytes) + 50, 'x') + "\n"
                                           << QByteArray(int(maxPasswordBytes), 'x');
    }
    void readPasswordLine() {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, password);
        std::FILE* in = std::tmpfile();
        QVERIFY(in);
        std::fwrite(input.constData(), 1, static_cast<std::size_t>(input.size()), in);
        std::rewind(in);
        const std::string read = pdfinfodump::readPasswordLine(in);
        std::fclose(in);
        QCOMPARE(QByteArray::fromStdString(read), password);
    }

    void passwordCandidates_data() {
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::newRow("ASCII: as typed only") << QByteArray("view") << QList<QByteArray>{"view"};
        QTest::newRow("UTF-8 with a PDFDoc form")
            << QByteArray("\xC3\xA2ge") << QList<QByteArray>{"\xC3\xA2ge", "\xE2ge"};
        QTest::newRow("UTF-8 with PDFDoc-only sign")
            << QByteArray("\xE2\x82\xAC") << QList<QByteArray>{"\xE2\x82\xAC", "\xA0"};
        QTest::newRow("UTF-8 without a PDFDoc form")
            << QByteArray("\xE4\xB8\xAD") << QList<QByteArray>{"\xE4\xB8\xAD"};
        QTest::newRow("single-byte text gets a UTF-8 form")
            << QByteArray("h\xF4tel") << QList<QByteArray>{"h\xF4tel", "h\xC3\xB4tel"};
    }
    void passwordCandidates() {
        QFETCH(QByteArray, typed);
        QFETCH(QList<QByteArray>, expected);
        QList<QByteArray> actual;
        for (const std::string& candidate : pdfinfodump::passwordCandidates(typed.toStdString())) {
            actual << QByteArray::fromStdString(candidate);
        }
        QCOMPARE(actual, expected);
    }
};

QTEST_APPLESS_MAIN(ToolCommandLineTest)
#include "tst_tool_commandline.moc"
