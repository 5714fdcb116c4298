#include "extract/ToolRunner.h"

#include "app/EventPump.h"
#include "platform/TextProgressBar.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <cmath>
#include <csignal>
#include <cstring>
#include <langinfo.h>
#include <unistd.h>

namespace extract {

namespace {

constexpr int passMs = 100;
constexpr int textThreshold = 50;
constexpr int stepPeriod = 150;

// The tool's environment: ours, with a UTF-8 locale when ours is not, so that a tool that
// takes its file-name encoding from the locale can open non-ASCII names.
QProcessEnvironment toolEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (QByteArray(nl_langinfo(CODESET)) != "UTF-8")
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return environment;
}

// A started tool. Its process group is killed when the object goes while it still runs:
// a tool may be a script that starts the real program as its child.
class ToolProcess {
public:
    explicit ToolProcess(const ToolCommand& command) {
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
    ~ToolProcess() { stop(); }
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    bool wasStarted() const { return started; }
    bool running() const { return process.state() != QProcess::NotRunning; }
    int exitCode() const {
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 128 + SIGKILL;
    }
    QProcess& qprocess() { return process; }

    // Takes what the tool wrote on its error output so far, keeping only its start: the
    // reason for a failure is in the first lines, and a tool that writes without end must
    // not fill the memory.
    void collectErrorOutput() {
        const QByteArray more = process.readAllStandardError();
        if (errorOutput.size() < errorOutputKept)
            errorOutput += more.left(errorOutputKept - errorOutput.size());
    }
    const QByteArray& errors() const { return errorOutput; }

    void stop() {
        if (!started || !running())
            return;
        ::kill(-static_cast<pid_t>(process.processId()), SIGKILL);
        process.waitForFinished(-1);
    }

private:
    static constexpr qsizetype errorOutputKept = 4096;
    QProcess process;
    bool started = false;
    QByteArray errorOutput;
};

int startErrorNumber(const QString& program) {
    const QFileInfo file(program);
    return file.exists() ? 13 : 2;
}

// Waits up to one pass for the tool to end; returns as soon as it ends. Window events run
// between passes, at least ten times a second.
void waitOnePass(ToolProcess& tool) {
    if (tool.running())
        tool.qprocess().waitForFinished(passMs);
    tool.collectErrorOutput();
}

} // namespace

int roundHalfToEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

QString waitingText(const QString& caption, int passes) {
    return caption + (caption.isEmpty() ? QString() : QStringLiteral(", ")) +
           QStringLiteral("Please wait.. ") + QString::number(passes - textThreshold);
}

std::optional<int> nudgedValue(int passes, int startValue, int count) {
    if (count <= 0 || passes < textThreshold || (passes - textThreshold) % stepPeriod != 0)
        return std::nullopt;
    const int step = roundHalfToEven(100.0 / count / 10.0);
    const int limit = roundHalfToEven(100.0 / count + startValue - step);
    const double value =
        static_cast<double>(passes - textThreshold) / stepPeriod * step + startValue;
    return value >= limit ? limit : static_cast<int>(value);
}

QString firstErrorLine(const QByteArray& errorOutput) {
    for (const QByteArray& line : errorOutput.split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (!text.isEmpty() && !text.startsWith(QLatin1String("pdftk: warning:")))
            return text;
    }
    return {};
}

ToolResult RunToolAndWait(const ToolCommand& command, platform::TextProgressBar* bar,
                          const QString& caption, int startValue, int count, RunLimits limits) {
    ToolProcess tool(command);
    if (!tool.wasStarted()) {
        const int error = startErrorNumber(command.program);
        return {false, startFailureBase + error, QString::fromLocal8Bit(std::strerror(error))};
    }

    QElapsedTimer clock;
    clock.start();
    int passes = 0;
    int exitCode = 0;
    bool stillRunning = true;
    while (stillRunning) {
        stillRunning = tool.running();
        exitCode = stillRunning ? 0 : tool.exitCode();
        waitOnePass(tool);
        app::letEventsRun();
        if (bar) {
            ++passes;
            if (passes >= textThreshold) {
                bar->setText(waitingText(caption, passes));
                if (const auto value = nudgedValue(passes, startValue, count))
                    bar->setRawValue(*value);
            }
        }
        if (stillRunning && clock.elapsed() > qint64(limits.maximumSeconds) * 1000) {
            tool.stop();
            exitCode = toolStopped;
            break;
        }
    }
    if (bar)
        bar->setText(caption.isEmpty() ? QStringLiteral("Progress Bar") : caption);
    tool.collectErrorOutput();
    return {true, exitCode, firstErrorLine(tool.errors())};
}

} // namespace extract
