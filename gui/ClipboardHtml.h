#pragma once

#include <QString>

namespace output {
class TextTable;
}

namespace gui {

// The clipboard's table as HTML, beside its aligned text: the header row, then one row per
// ticked row, each value in a cell of its own without padding, so that a paste into a
// spreadsheet gives one cell per value.
QString clipboardHtml(const output::TextTable& table);

} // namespace gui
