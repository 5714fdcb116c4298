#pragma once

#include <QPersistentModelIndex>
#include <QString>
#include <QStringList>

class QTreeWidget;
class QTreeWidgetItem;

namespace app {
class Form1;
}

namespace output {

// The results table: a header row ("Filename" then the chosen properties) and one row per
// processed file, whose own text is the path and whose sub-item p - 1 holds the cell under
// header position p. Each row has a tick; only ticked rows go out.

// The header position minus one of the first header whose text equals header exactly, or 0
// when there is none ("Filename" itself also gives 0).
int ColumnIndexOf(const QTreeWidget* table, const QString& header);

// Replaces the header row.
void setHeaders(QTreeWidget* table, const QStringList& headers);

// A results row that may be removed while an operation still holds it ("Clear Results" and
// the Delete key stay usable during long operations): writes to a removed row do nothing.
class ResultRow {
public:
    ResultRow() = default;
    // Appends a row holding path, unticked, to the table.
    static ResultRow append(QTreeWidget* table, const QString& path);

    bool exists() const;
    // Takes the row out of the table.
    void remove() const;
    // Sets sub-item `column` (1 or more) to text.
    void setCell(int column, const QString& text) const;
    QString cell(int column) const;
    // Marks the row as one whose file could not be read: the reason becomes the tooltip of
    // its Filename cell, which shows a warning sign. Its texts stay as they are.
    void markUnread(const QString& reason) const;
    QString unreadReason() const;

private:
    explicit ResultRow(QTreeWidget* table, QTreeWidgetItem* item);
    QTreeWidgetItem* item() const;

    QTreeWidget* table = nullptr;
    QPersistentModelIndex index;
};

// Ticks every row of the table.
void tickAllRows(QTreeWidget* table);

// Attaches the results table's operations to the main window: "Clear Results", the Delete
// key, and the three ways out (text file, clipboard, workbook).
void attachResultsTable(app::Form1& window);

// "Clear Results": removes every row; the header row stays.
void PushButton5_Click(app::Form1& window);
// The Delete key on the results table: removes the selected row unless the window is busy.
void deleteSelectedResultRow(app::Form1& window);

} // namespace output
