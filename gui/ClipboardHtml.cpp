#include "gui/ClipboardHtml.h"

#include "output/TextTable.h"

namespace gui {

namespace {

void appendRow(QString& html, const QStringList& cells, const QLatin1String& tag) {
    html += QLatin1String("<tr>");
    for (const QString& cell : cells) {
        html += QLatin1Char('<') + tag + QLatin1Char('>');
        html += cell.toHtmlEscaped();
        html += QLatin1String("</") + tag + QLatin1Char('>');
    }
    html += QLatin1String("</tr>\n");
}

} // namespace

QString clipboardHtml(const output::TextTable& table) {
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>\n<table>\n");
    appendRow(html, table.headers(), QLatin1String("th"));
    QStringList cells;
    for (int row = 0; row < table.rowCount(); ++row) {
        if (!table.isTicked(row))
            continue;
        cells.clear();
        const output::TextRow& texts = table.row(row);
        for (int column = 0; column < table.columnCount(); ++column)
            cells.append(QString::fromUtf8(texts.cell(column)));
        appendRow(html, cells, QLatin1String("td"));
    }
    html += QLatin1String("</table>\n</body></html>\n");
    return html;
}

} // namespace gui
