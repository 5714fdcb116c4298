#pragma once

#include "tool/AuditFacts.h"
#include "tool/AuditSource.h"

#include <optional>
#include <string>

namespace pdfinfodump {

struct Box {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
};

// The boxes and rotation a page tree node passes down to the pages below it, as viewers
// read them (and pdfinfo shows them).
struct PageAttributes {
    // A page without any media box is taken as US Letter.
    Box mediaBox{0, 0, 612, 792};
    // Absent: the media box.
    std::optional<Box> cropBox;
    // Degrees clockwise, 0 to 359.
    int rotation = 0;
};

// A box entry: an array of four numbers, not all zero, its corners put in order. Nothing
// for anything else, which leaves the inherited box in place.
std::optional<Box> readBox(AuditSource& source, const PdfObject& value);

// The attributes of a page tree node or page: its own /MediaBox, /CropBox and /Rotate (an
// integer) where they can be read, else those inherited.
PageAttributes attributesOf(AuditSource& source, const PdfObject& node,
                            const PageAttributes& inherited);

// The size a page typed /Page shows: its crop box cut down to its media box (a page without
// that type keeps its crop box whole), width and height swapped when turned 90 or 270 degrees.
PageSize shownSize(const PageAttributes& page, bool typedPage);

// A length as the audit writes it: C's %g, as pdfinfo writes page sizes.
std::string pointsText(double points);

} // namespace pdfinfodump
