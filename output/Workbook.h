#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QTime>

#include <memory>

class QTemporaryFile;

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace output {

class WholeFileWriter;

// The length of UTF-8 text in UTF-16 units, as a spreadsheet counts a cell's characters: one
// for each character, two beyond U+FFFF (four bytes in UTF-8).
qsizetype utf16Length(QByteArrayView utf8);

// A new .xlsx workbook with one worksheet, written row by row (rows in increasing order) so
// that a large table needs little memory. Cells hold text, numbers or dates with times.
// Column widths follow the longest shown text of each column, as a spreadsheet's automatic
// fit would.
class Workbook {
public:
    // Workbook data waits in temporaryFolder until close() writes the file at path. A file
    // already at path is replaced only by a complete workbook (see WholeFileWriter).
    // Throws RunTimeError when path cannot be written, naming the reason.
    Workbook(const QString& path, const QString& temporaryFolder);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Writes text into a cell (row and column from 0). Text beyond the 32,767 characters a
    // cell can hold is cut off.
    void write(int row, int column, const QString& text);
    // The same for text in UTF-8.
    void write(int row, int column, QByteArrayView utf8);
    // Writes a number; shownLength is the length of its text as the table shows it, in
    // UTF-16 units (for the column width).
    void writeNumber(int row, int column, double number, qsizetype shownLength);
    // Writes a date, with a time unless the time is null, shown in a spreadsheet number
    // format ("m/d/yyyy h:mm:ss AM/PM").
    void writeDateTime(int row, int column, QDate date, QTime time, const QString& format,
                       qsizetype shownLength);
    // Fits every column written so far to its longest text.
    void fitColumns();
    // Writes the file. Throws RunTimeError when it cannot.
    void close();

private:
    void copyPackedToOutput();
    void noteWidth(int column, qsizetype length);
    void check(int result, int row, int column) const;
    lxw_format* numberFormat(const QString& format);

    QString path;
    QByteArray temporaryFolder;
    QByteArray textWithNul; // a text cell's bytes with the NUL the library needs after them
    std::unique_ptr<WholeFileWriter> output;
    std::unique_ptr<QTemporaryFile> packed; // the library's whole workbook, before the copy
    lxw_workbook* book = nullptr;
    lxw_worksheet* sheet = nullptr;
    QList<int> longest;
    QHash<QString, lxw_format*> formats; // owned by the workbook
};

} // namespace output
