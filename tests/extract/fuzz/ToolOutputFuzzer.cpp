// Fuzz target over the program's reading of the tool's dump: the parser, the PDF date
// conversion and the decoding of character references, fed arbitrary bytes. Besides not
// crashing or hanging, every cell written must lie in the table and hold no line break or
// NUL, whatever the tool wrote.

#include "app/RunTimeError.h"
#include "extract/PdfDate.h"
#include "extract/ToolOutput.h"

#include <QLocale>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

namespace {

bool isOneLine(const QString& text) {
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
           !text.contains(QChar(0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QStringList headers = {"Filename", "PDF Version", "Producer", "Creator",
                                        "Title", "Author", "Subject", "Keywords",
                                        "Number Of Pages", "Date Modified", "Date Created",
                                        "Date Accessed"};
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    extract::ToolOutputSinks sinks;
    sinks.columnOf = [](const QString& header) {
        return static_cast<int>(std::max<qsizetype>(0, headers.indexOf(header)));
    };
    sinks.write = [](int column, const QString& text) {
        if (column <= 0 || column >= headers.size() || !isOneLine(text))
            std::abort();
    };
    sinks.fail = [](const QString&) {};
    extract::parseToolOutput(bytes, sinks, locale);

    const QString text = QString::fromUtf8(bytes);
    if (!isOneLine(extract::decodeToolText(text)))
        std::abort();
    try {
        const extract::PdfDateText date = extract::convertPdfDate(text.left(40), locale);
        if (!isOneLine(date.text))
            std::abort();
    } catch (const app::RunTimeError&) {
    }
    return 0;
}
