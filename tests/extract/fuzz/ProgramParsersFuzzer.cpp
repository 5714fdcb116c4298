// Fuzz target over every parser of the program, fed arbitrary bytes: the reading of the
// tool's dump (with its character references and PDF dates), the version from a file's first
// line, the numbers of stored settings, the stored sample list, and the reading of table
// dates back into values. Besides not crashing or hanging, each must keep its promises: a
// cell written lies in the table and is one line, a version is one line, the sample list
// round-trips, a number read is finite.

#include "base/CellValues.h"
#include "base/NumberText.h"
#include "extract/PdfDate.h"
#include "extract/PdfVersion.h"
#include "extract/ToolOutput.h"
#include "filelist/SnapshotText.h"

#include <QLocale>
#include <QStringList>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

bool isOneLine(const QString& text) {
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
           !text.contains(QChar(0));
}

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QStringList headers = {"Filename",      "PDF Version",  "Producer",
                                        "Creator",       "Title",        "Author",
                                        "Subject",       "Keywords",     "Number Of Pages",
                                        "Date Modified", "Date Created", "Date Accessed"};
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    static const base::CellValueReader cells(locale);
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = QString::fromUtf8(bytes);

    const extract::ToolOutputReading reading = extract::readToolOutput(bytes, headers, locale);
    for (const extract::RowCell& cell : reading.cells)
        check(cell.column > 0 && cell.column < headers.size() && isOneLine(cell.text));
    check(isOneLine(extract::decodeToolText(text)));

    const auto date = extract::convertPdfDate(text.left(40), locale);
    check(!date.ok() || isOneLine(date.value().text));
    if (date.ok()) // a date the table shows is read back as the workbook and sorting read it
        cells.read(QStringLiteral("Date Modified"), date.value().text);

    const auto version = extract::pdfVersionFromStart(bytes);
    check(!version.ok() ||
          (!version.value().contains(QLatin1Char('\n')) &&
           !version.value().contains(QLatin1Char('\r')) && !version.value().contains(QChar(0))));

    const auto number = base::numberFromText(text);
    check(!number.ok() || std::isfinite(number.value()));
    const auto small = base::smallIntegerFromText(text);
    check(!small.ok() || (small.value() >= -32768 && small.value() <= 32767));

    const QStringList paths = text.split(QChar(0));
    const QString stored = filelist::scrambleSnapshot(filelist::joinSampleList(paths));
    const QStringList back = filelist::splitSampleList(filelist::unscrambleSnapshot(stored));
    check(back == paths || (paths == QStringList{QString()} && back.isEmpty()));
    filelist::splitSampleList(filelist::unscrambleSnapshot(text)); // anything stored by hand

    for (const QString& header :
         {QStringLiteral("Number Of Pages"), QStringLiteral("Date Created")})
        cells.read(header, text.left(60));
    return 0;
}
