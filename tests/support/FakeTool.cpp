#include "tests/support/FakeTool.h"

#include <QFile>
#include <QTextStream>

#include <csignal>
#include <sys/types.h>

namespace testsupport {

FakeTool::FakeTool(const QString& inFolder, const QString& body) : folder(inFolder) {
    QFile script(path());
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write the fake tool");
    QTextStream text(&script);
    text << "#!/bin/sh\n"
            "here=$(dirname \"$0\")\n"
            // Like a tool without a serving mode, it refuses to serve: one process per file.
            "[ \"$1\" = --serve ] && { echo 'Error: unknown option --serve' >&2; exit 2; }\n"
            "out=\n"
            "previous=\n"
            "for argument in \"$@\"; do\n"
            "  [ \"$previous\" = output ] && out=$argument\n"
            "  previous=$argument\n"
            "done\n"
            "input=\n"
            "case \" $* \" in *' input_pw A=PROMPT '*) IFS= read -r input ;; esac\n"
            "printf '%s|stdin=%s|LC_ALL=%s\\n' \"$*\" \"$input\" \"$LC_ALL\" >> "
            "\"$here/calls.log\"\n"
         << body << "\n";
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString FakeTool::log() const {
    QFile file(folder + QStringLiteral("/calls.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

int FakeTool::calls() const {
    return static_cast<int>(log().count(QLatin1Char('\n')));
}

QString FakeTool::writesDump(const QString& title, int pages) {
    return QStringLiteral("printf 'InfoBegin\\nInfoKey: Title\\nInfoValue: %1\\nNumberOfPages: "
                          "%2\\n' > \"$out\"")
        .arg(title)
        .arg(pages);
}

QString FakeTool::needsPassword(const QString& accepted, const QString& then) {
    return QStringLiteral("if [ -z \"$input\" ]; then\n"
                          "  printf 'Error: Failed to open input PDF file:\\n   OWNER OR USER "
                          "PASSWORD REQUIRED\\n' >&2; exit 1\n"
                          "elif [ -n '%1' ] && [ \"$input\" != '%1' ]; then\n"
                          "  echo 'pdftk: wrong password' >&2; exit 1\n"
                          "fi\n%2")
        .arg(accepted, then);
}

QString FakeTool::hangsWithChild() {
    return QStringLiteral("sleep 1000 &\necho $! > \"$here/child.pid\"\n"
                          "echo $! >> \"$here/children.pids\"\nwait\n");
}

QList<qint64> FakeTool::childPids() const {
    QFile file(folder + QStringLiteral("/children.pids"));
    QList<qint64> pids;
    if (file.open(QIODevice::ReadOnly))
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.trimmed().isEmpty())
                pids.append(line.trimmed().toLongLong());
    return pids;
}

qint64 FakeTool::childPid() const {
    QFile file(folder + QStringLiteral("/child.pid"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
}

bool FakeTool::processAlive(qint64 pid) {
    if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) != 0)
        return false;
    // A killed child that nobody has reaped yet is gone for our purpose.
    QFile status(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = status.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close < 0 || line.mid(close + 2, 1) != "Z";
}

} // namespace testsupport
