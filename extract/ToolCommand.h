#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace extract {

// One start of the tool for one PDF file.
struct ToolCommand {
    // What is started: the program and its arguments, passed without a shell, so nothing in
    // a path or password is ever interpreted.
    QString program;
    QStringList arguments;
    // Written to the tool's standard input: the password, which thus never appears in the
    // process list where every local user could read it.
    QByteArray input;
};

// What is asked of the audit: nothing, the audit with every page read (to tell whether the
// pages' sizes vary), or the audit with the first page alone, which costs far less in a long
// document.
enum class AuditAsked { No, EveryPage, FirstPage };

// The words that ask the tool for its dump: "dumpdata", followed by "audit" or
// "audit_first_page" when the audit's lines are wanted too (a serving tool takes them joined
// by commas).
QStringList dumpWords(AuditAsked audit);

// The command for dumping the information of pdfPath into outputPath: TOOL PDF dumpdata
// output OUT without a password; with one, TOOL A=PDF input_pw A=PROMPT dumpdata output OUT
// with the password on the tool's standard input. The audit's word follows "dumpdata".
ToolCommand buildToolCommand(const QString& toolPath, const QString& pdfPath,
                             const QString& password, const QString& outputPath,
                             AuditAsked audit = AuditAsked::No);

// The tool: the file pdftk in the program folder, or else pdftk found on the PATH. When
// neither exists, the program folder's path (whose start then fails).
QString toolPath(const QString& programFolder);

} // namespace extract
