#include "extract/ToolCommand.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace extract {

QStringList dumpWords(AuditAsked audit) {
    QStringList words{QStringLiteral("dumpdata")};
    if (audit == AuditAsked::EveryPage)
        words.append(QStringLiteral("audit"));
    else if (audit == AuditAsked::FirstPage)
        words.append(QStringLiteral("audit_first_page"));
    return words;
}

ToolCommand buildToolCommand(const QString& toolPath, const QString& pdfPath,
                             const QString& password, const QString& outputPath, AuditAsked audit) {
    ToolCommand command;
    command.program = toolPath;
    const bool withPassword = !password.isEmpty();
    // The tool takes an argument that starts with capitals and "=" as a file handle, and one
    // that starts with "-" as an option: a file called "X=report.pdf" or "-r.pdf" must never
    // read as either, so the tool is given the absolute path, which starts with "/".
    const QString toolsPath = QDir::current().absoluteFilePath(pdfPath);
    if (withPassword) {
        command.arguments = {QStringLiteral("A=") + toolsPath, QStringLiteral("input_pw"),
                             QStringLiteral("A=PROMPT")};
        command.input = password.toUtf8() + '\n';
    } else {
        command.arguments = {toolsPath};
    }
    command.arguments << dumpWords(audit) << QStringLiteral("output") << outputPath;
    return command;
}

QString toolPath(const QString& programFolder) {
    const QString own = programFolder + QStringLiteral("/pdftk");
    if (QFileInfo(own).isFile())
        return own;
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("pdftk"));
    return onPath.isEmpty() ? own : onPath;
}

} // namespace extract
