#include "extract/ToolProcess.h"

#include <QFileInfo>

#include <csignal>
#include <langinfo.h>
#include <unistd.h>

namespace extract {

namespace {

constexpr qsizetype errorOutputKept = 4096;

// The tool's environment: ours, with a UTF-8 locale when ours is not, so that a tool that
// takes its file-name encoding from the locale can open non-ASCII names.
QProcessEnvironment toolEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (QByteArray(nl_langinfo(CODESET)) != "UTF-8")
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return environment;
}

} // namespace

ToolProcess::ToolProcess(const ToolCommand& command) : program(command.program) {
    process.setProgram(command.program);
    process.setArguments(command.arguments);
    process.setProcessEnvironment(toolEnvironment());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setChildProcessModifier([] { ::setsid(); });
    process.start(QIODevice::ReadWrite);
    if (!process.waitForStarted(-1))
        return;
    started = true;
    if (!command.input.isEmpty())
        process.write(command.input);
    process.closeWriteChannel();
}

ToolProcess::~ToolProcess() {
    stop();
}

int ToolProcess::startError() const {
    return QFileInfo::exists(program) ? 13 : 2;
}

void ToolProcess::waitUpTo(int milliseconds) {
    if (running())
        process.waitForFinished(milliseconds);
    collectErrorOutput();
}

int ToolProcess::exitCode() const {
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 128 + SIGKILL;
}

void ToolProcess::stop() {
    if (!started || !running())
        return;
    ::kill(-static_cast<pid_t>(process.processId()), SIGKILL);
    process.waitForFinished(-1);
}

void ToolProcess::collectErrorOutput() {
    const QByteArray more = process.readAllStandardError();
    if (errorOutput.size() < errorOutputKept)
        errorOutput += more.left(errorOutputKept - errorOutput.size());
}

const QByteArray& ToolProcess::errors() {
    collectErrorOutput();
    return errorOutput;
}

} // namespace extract
