#include "output/ResultsTable.h"

#include "app/BusyState.h"
#include "app/ClickHandler.h"
#include "app/ErrorReport.h"
#include "app/EventPump.h"
#include "app/Form1.h"
#include "output/ClipboardCopy.h"
#include "output/ResultItem.h"
#include "output/SpreadsheetExport.h"
#include "output/TextSave.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QTreeWidget>

namespace output {

int ColumnIndexOf(const QTreeWidget* table, const QString& header) {
    const QTreeWidgetItem* headers = table->headerItem();
    for (int position = 0; position < table->columnCount(); ++position)
        if (headers->text(position) == header)
            return position;
    return 0;
}

void setHeaders(QTreeWidget* table, const QStringList& headers) {
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHeaderLabels(headers);
}

ResultRow::ResultRow(QTreeWidget* table, QTreeWidgetItem* item)
    : table(table), index(table->model()->index(table->indexOfTopLevelItem(item), 0)) {}

ResultRow ResultRow::append(QTreeWidget* table, const QString& path) {
    auto* item = new ResultItem(path);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    table->addTopLevelItem(item);
    return ResultRow(table, item);
}

QTreeWidgetItem* ResultRow::item() const {
    return index.isValid() ? table->topLevelItem(index.row()) : nullptr;
}

bool ResultRow::exists() const {
    return item() != nullptr;
}

void ResultRow::remove() const {
    delete item();
}

void ResultRow::setCell(int column, const QString& text) const {
    if (QTreeWidgetItem* row = item())
        row->setText(column, text);
}

QString ResultRow::cell(int column) const {
    const QTreeWidgetItem* row = item();
    return row ? row->text(column) : QString();
}

void ResultRow::markUnread(const QString& reason) const {
    QTreeWidgetItem* row = item();
    if (!row)
        return;
    row->setToolTip(0, reason);
    row->setIcon(0, QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
}

QString ResultRow::unreadReason() const {
    const QTreeWidgetItem* row = item();
    return row ? row->toolTip(0) : QString();
}

void tickAllRows(QTreeWidget* table) {
    for (int row = 0; row < table->topLevelItemCount(); ++row)
        table->topLevelItem(row)->setCheckState(0, Qt::Checked);
}

void PushButton5_Click(app::Form1& window) {
    app::ErrorReport errors(QStringLiteral("Form1.PushButton5_Click"));
    errors.step([&] { window.ListView2->clear(); });
}

void deleteSelectedResultRow(app::Form1& window) {
    if (app::isBusy(&window) || window.ListView2->topLevelItemCount() == 0)
        return;
    const QList<QTreeWidgetItem*> selected = window.ListView2->selectedItems();
    if (!selected.isEmpty())
        delete selected.constFirst();
}

namespace {

// Catches the Delete key on the results table; every other key is the list's own.
class DeleteKeyFilter : public QObject {
public:
    explicit DeleteKeyFilter(app::Form1& window)
        : QObject(&window), window(window), table(window.ListView2) {
        table->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Compare with the pointer kept from construction: the window may be half
        // destroyed when the table's last events arrive.
        if (watched != table || event->type() != QEvent::KeyPress ||
            static_cast<QKeyEvent*>(event)->key() != Qt::Key_Delete)
            return false;
        app::runHandler([this] { deleteSelectedResultRow(window); });
        return true;
    }

private:
    app::Form1& window;
    QTreeWidget* table;
};

} // namespace

void attachResultsTable(app::Form1& window) {
    app::onClick(window.PushButton5, window, PushButton5_Click);
    app::onClick(window.PushButton1, window, PushButton1_Click);
    app::onClick(window.PushButton2, window, PushButton2_Click);
    app::onClick(window.PushButton13, window, PushButton13_Click);
    new DeleteKeyFilter(window);
}

} // namespace output
