#include "extract/ToolCommand.h"
#include "tests/support/TestMain.h"

#include <QFile>
#include <QStandardPaths>

class ToolCommandTest : public QObject {
    Q_OBJECT
private slots:
    void commandWithoutPassword() {
        const auto command = extract::buildToolCommand(QStringLiteral("/opt/parvilon/pdftk"),
                                                       QStringLiteral("/docs/a b.pdf"), QString(),
                                                       QStringLiteral("/tmp/p-1/result.txt"));
        QCOMPARE(command.program, QStringLiteral("/opt/parvilon/pdftk"));
        QCOMPARE(command.arguments,
                 (QStringList{"/docs/a b.pdf", "dumpdata", "output", "/tmp/p-1/result.txt"}));
        QVERIFY(command.input.isEmpty());
    }

    void passwordGoesToStandardInputNotTheArguments() {
        const QString password = QStringLiteral("p\" $(rm -rf ~) âge");
        const auto command = extract::buildToolCommand(QStringLiteral("/opt/pdftk"),
                                                       QStringLiteral("/d/\"quoted\".pdf"),
                                                       password, QStringLiteral("/t/result.txt"));
        QCOMPARE(command.arguments, (QStringList{"A=/d/\"quoted\".pdf", "input_pw", "A=PROMPT",
                                                 "dumpdata", "output", "/t/result.txt"}));
        QVERIFY(!command.arguments.join(QLatin1Char(' ')).contains(password));
        QCOMPARE(command.input, password.toUtf8() + '\n');
    }

    void theProgramFoldersToolComesFirst() {
        testsupport::TestFolders folders;
        const QString folder = folders.programFolder();
        // Without one in the program folder: the one on the PATH, if any.
        const QString onPath = QStandardPaths::findExecutable(QStringLiteral("pdftk"));
        QCOMPARE(extract::toolPath(folder),
                 onPath.isEmpty() ? folder + QStringLiteral("/pdftk") : onPath);
        folders.writeFile(QStringLiteral("pdftk"), "#!/bin/sh\n");
        QFile::setPermissions(folder + QStringLiteral("/pdftk"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(extract::toolPath(folder), folder + QStringLiteral("/pdftk"));
    }
};

PARVILON_TEST_MAIN(ToolCommandTest)
#include "tst_toolcommand.moc"
