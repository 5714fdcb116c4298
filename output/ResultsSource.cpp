#include "output/ResultsSource.h"

#include "app/EventPump.h"
#include "output/ResultItem.h"

#include <QTreeWidget>

namespace output {

void TableSnapshot::appendRow(const QStringList& cells, bool ticked) {
    Row row;
    row.ticked = ticked;
    for (qsizetype column = 0; column < cells.size(); ++column)
        row.texts.setCell(static_cast<int>(column), cells[column]);
    rows.append(std::move(row));
}

TableSnapshot readResults(const QTreeWidget* table) {
    TableSnapshot results;
    const int columns = table->columnCount();
    for (int column = 0; column < columns; ++column)
        results.headers.append(table->headerItem()->text(column));
    results.rows.reserve(table->topLevelItemCount());
    for (int row = 0; row < table->topLevelItemCount(); ++row) {
        app::letEventsRun();
        const QTreeWidgetItem* item = table->topLevelItem(row);
        if (!item)
            break;
        TableSnapshot::Row copy;
        copy.ticked = item->checkState(0) == Qt::Checked;
        if (const auto* compact = dynamic_cast<const ResultItem*>(item)) {
            copy.texts = compact->texts();
        } else {
            for (int column = 0; column < columns; ++column)
                copy.texts.setCell(column, item->text(column));
        }
        results.rows.append(std::move(copy));
    }
    return results;
}

} // namespace output
