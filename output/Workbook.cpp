#include "output/Workbook.h"

#include "base/RunTimeError.h"
#include "output/WholeFileWriter.h"

#include <QFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

namespace output {

namespace {
constexpr int cellLimit = 32767; // characters a worksheet cell can hold
constexpr double widestColumn = 255;
} // namespace

Workbook::Workbook(const QString& target, const QString& scratchFolder)
    : path(target), temporaryFolder(QFile::encodeName(scratchFolder)),
      output(std::make_unique<WholeFileWriter>(target)),
      packed(std::make_unique<QTemporaryFile>(scratchFolder + QStringLiteral("/workbook-XXXXXX"))) {
    // The library packs the workbook in the private temporary folder; only a complete one
    // goes beside the target (see close()).
    if (!packed->open())
        throw base::RunTimeError(
            QStringLiteral("The workbook %1 cannot be made: %2").arg(path, packed->errorString()));
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = temporaryFolder.data();
    book = workbook_new_opt(QFile::encodeName(packed->fileName()).constData(), &options);
    if (book)
        sheet = workbook_add_worksheet(book, nullptr);
    if (!sheet)
        throw base::RunTimeError(QStringLiteral("The workbook %1 cannot be made.").arg(path));
}

Workbook::~Workbook() {
    if (book) // never closed: drop it without writing anything
        lxw_workbook_free(book);
}

void Workbook::noteWidth(int column, qsizetype length) {
    if (column >= longest.size())
        longest.resize(column + 1, 0);
    longest[column] = std::max(longest[column], static_cast<int>(length));
}

void Workbook::check(int result, int row, int column) const {
    if (result != LXW_NO_ERROR)
        throw base::RunTimeError(
            QStringLiteral("Cell %1,%2 cannot be written: %3")
                .arg(row + 1)
                .arg(column + 1)
                .arg(QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(result)))));
}

void Workbook::write(int row, int column, const QString& text) {
    const QString kept = text.size() > cellLimit ? text.left(cellLimit) : text;
    noteWidth(column, kept.size());
    check(worksheet_write_string(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                                 kept.toUtf8().constData(), nullptr),
          row, column);
}

qsizetype utf16Length(QByteArrayView utf8) {
    qsizetype length = 0;
    for (const char byte : utf8) {
        const auto value = static_cast<unsigned char>(byte);
        length += (value & 0xC0) != 0x80 ? 1 : 0; // a character's first byte
        length += value >= 0xF0 ? 1 : 0;          // one beyond U+FFFF
    }
    return length;
}

void Workbook::write(int row, int column, QByteArrayView utf8) {
    const qsizetype length = utf16Length(utf8);
    if (length > cellLimit) {
        write(row, column, QString::fromUtf8(utf8));
        return;
    }
    noteWidth(column, length);
    textWithNul.truncate(0);
    textWithNul.append(utf8);
    check(worksheet_write_string(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                                 textWithNul.constData(), nullptr),
          row, column);
}

void Workbook::writeNumber(int row, int column, double number, qsizetype shownLength) {
    noteWidth(column, shownLength);
    check(worksheet_write_number(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                                 number, nullptr),
          row, column);
}

lxw_format* Workbook::numberFormat(const QString& format) {
    auto found = formats.constFind(format);
    if (found != formats.constEnd())
        return *found;
    lxw_format* made = workbook_add_format(book);
    format_set_num_format(made, format.toUtf8().constData());
    formats.insert(format, made);
    return made;
}

void Workbook::writeDateTime(int row, int column, QDate date, QTime time, const QString& format,
                             qsizetype shownLength) {
    noteWidth(column, shownLength);
    lxw_datetime moment{};
    moment.year = date.year();
    moment.month = date.month();
    moment.day = date.day();
    if (time.isValid()) {
        moment.hour = time.hour();
        moment.min = time.minute();
        moment.sec = time.second();
    }
    check(worksheet_write_datetime(sheet, static_cast<lxw_row_t>(row),
                                   static_cast<lxw_col_t>(column), &moment, numberFormat(format)),
          row, column);
}

void Workbook::fitColumns() {
    for (int column = 0; column < longest.size(); ++column) {
        // A character is about one unit of column width; a little room for the margins.
        const double width = std::min(widestColumn, longest[column] + 1.0);
        worksheet_set_column(sheet, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column),
                             width, nullptr);
    }
}

void Workbook::close() {
    lxw_workbook* closing = book;
    book = nullptr;
    const lxw_error result = workbook_close(closing);
    if (result != LXW_NO_ERROR)
        throw base::RunTimeError(QStringLiteral("The workbook %1 cannot be written: %2")
                                     .arg(path, QString::fromUtf8(lxw_strerror(result))));
    copyPackedToOutput();
    output->commit();
}

void Workbook::copyPackedToOutput() {
    // The library does not check every write of its own, so on a full disk it could leave
    // a cut file and call it done; this copy checks each one and knows the reason.
    QFile packedFile(packed->fileName());
    if (!packedFile.open(QIODevice::ReadOnly))
        throw base::RunTimeError(QStringLiteral("The workbook %1 cannot be written: %2")
                                     .arg(path, packedFile.errorString()));
    constexpr qint64 chunk = 1 << 20;
    while (!packedFile.atEnd()) {
        const QByteArray bytes = packedFile.read(chunk);
        if (bytes.isEmpty() && packedFile.error() != QFileDevice::NoError)
            throw base::RunTimeError(QStringLiteral("The workbook %1 cannot be written: %2")
                                         .arg(path, packedFile.errorString()));
        const qint64 written = output->device().write(bytes);
        if (written != bytes.size()) {
            // A write cut short names no reason; the rest, written again, names it.
            if (written >= 0)
                output->device().write(bytes.constData() + written, bytes.size() - written);
            output->failure();
        }
    }
}

} // namespace output
