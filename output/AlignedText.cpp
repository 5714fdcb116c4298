#include "output/AlignedText.h"

#include "platform/HugePages.h"

#include <algorithm>
#include <iterator>

namespace output {

namespace {

struct CodeRange {
    char32_t first, last;
};

// The characters of East Asian width W or F in Unicode 14, with the unassigned code points
// between them taken in, so that the ranges are few.
constexpr CodeRange wideCharacters[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
    {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
    {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
    {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
    {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
    {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
    {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
    {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},
    {0x3041, 0x3247},   {0x3250, 0x4DBF},   {0x4E00, 0xA4C6},   {0xA960, 0xA97C},
    {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6B},
    {0xFF01, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x1B2FB}, {0x1F004, 0x1F004},
    {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F320},
    {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA},
    {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E},
    {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E},
    {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4},
    {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2},
    {0x1F6D5, 0x1F6DF}, {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7F0},
    {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAF6},
    {0x20000, 0x3FFFD},
};

bool isWide(char32_t c) {
    const auto* after = std::upper_bound(
        std::begin(wideCharacters), std::end(wideCharacters), c,
        [](char32_t value, const CodeRange& range) { return value < range.first; });
    return after != std::begin(wideCharacters) && c <= std::prev(after)->last;
}

} // namespace

int displayWidth(QByteArrayView text) {
    // Below U+1100 (the first wide character) every character is one column, and ASCII
    // text, the most usual, is one byte per character.
    const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
    const qsizetype size = text.size();
    unsigned char high = 0;
    for (qsizetype i = 0; i < size; ++i)
        high |= bytes[i];
    if (high < 0x80)
        return static_cast<int>(size);
    int width = 0;
    for (qsizetype i = 0; i < size;) {
        const unsigned char lead = bytes[i];
        // The length of the character from its lead byte; what follows a lead byte is never
        // taken for a character of its own.
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length && i + k < size; ++k)
            c = (c << 6) | (bytes[i + k] & 0x3F);
        i += length;
        width += c >= 0x1100 && isWide(c) ? 2 : 1;
    }
    return width;
}

void appendCell(QByteArray& line, QByteArrayView text, int width) {
    const qsizetype start = line.size();
    line += text;
    // A tab or line break would start a new column or line of its own: each control
    // character shows as one blank, so the width is the same as counted. Bytes of UTF-8
    // characters beyond ASCII are never below U+0020.
    char* const cells = line.data();
    for (qsizetype i = start; i < line.size(); ++i)
        if (static_cast<unsigned char>(cells[i]) < 0x20)
            cells[i] = ' ';
    if (const int shown = displayWidth(text); shown < width)
        line.append(width - shown, ' ');
    line += '\t';
}

QByteArray clipboardText(const TextTable& table) {
    const QList<int> widths = table.widths(false);
    // Room for every row at full width (exact for ASCII text), so a large text is not
    // copied again and again while it grows.
    qsizetype estimate = 0;
    for (const int width : widths)
        estimate += width + 1;
    QByteArray text;
    text.reserve((estimate + 2) * table.rowCount());
    platform::preferHugePages(text.constData(), text.capacity());
    for (int row = 0; row < table.rowCount(); ++row) {
        if (!table.isTicked(row))
            continue;
        const qsizetype lineStart = text.size();
        const TextRow& cells = table.row(row);
        for (int column = 0; column < widths.size(); ++column)
            appendCell(text, cells.cell(column), widths[column]);
        // The line's last tab and its trailing blanks go.
        qsizetype end = text.size();
        if (end > lineStart)
            --end;
        while (end > lineStart && text[end - 1] == ' ')
            --end;
        text.truncate(end);
        text += "\r\n";
    }
    text.squeeze();
    return text;
}

int rowProgress(int row, int rows) {
    if (rows <= 0)
        return 0;
    return static_cast<int>((rows / 2000 + row) * 100.0 / rows);
}

} // namespace output
