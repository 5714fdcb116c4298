#pragma once

#include <QList>
#include <QString>

struct lxw_workbook;
struct lxw_worksheet;

namespace output {

// A new .xlsx workbook with one worksheet, written row by row (rows in increasing order) so
// that a large table needs little memory. Cells hold text. Column widths follow the longest
// text of each column, as a spreadsheet's automatic fit would.
class Workbook {
public:
    // Workbook data waits in temporaryFolder until close() writes the file at path.
    Workbook(const QString& path, const QString& temporaryFolder);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Writes text into a cell (row and column from 0). Text beyond the 32,767 characters a
    // cell can hold is cut off.
    void write(int row, int column, const QString& text);
    // Fits every column written so far to its longest text.
    void fitColumns();
    // Writes the file. Throws RunTimeError when it cannot.
    void close();

private:
    QString path;
    QByteArray temporaryFolder;
    lxw_workbook* book = nullptr;
    lxw_worksheet* sheet = nullptr;
    QList<int> longest;
};

} // namespace output
