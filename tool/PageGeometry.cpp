#include "tool/PageGeometry.h"

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>

namespace pdfinfodump {
namespace {

using Kind = PdfObject::Kind;

std::optional<double> number(const PdfObject& value) {
    if (value.is(Kind::Integer)) {
        return static_cast<double>(value.number);
    }
    if (value.is(Kind::Real)) {
        return std::strtod(value.bytes.c_str(), nullptr);
    }
    return std::nullopt;
}

// Pulls each edge of box inside limits, as viewers clip a crop box to the media box.
void clipTo(Box& box, const Box& limits) {
    const auto clamp = [](double& edge, double low, double high) {
        if (edge < low) {
            edge = low;
        } else if (edge > high) {
            edge = high;
        }
    };
    clamp(box.x1, limits.x1, limits.x2);
    clamp(box.x2, limits.x1, limits.x2);
    clamp(box.y1, limits.y1, limits.y2);
    clamp(box.y2, limits.y1, limits.y2);
}

} // namespace

std::optional<Box> readBox(AuditSource& source, const PdfObject& value) {
    const PdfObject& array = source.resolve(value);
    if (!array.is(Kind::Array) || array.values.size() != 4) {
        return std::nullopt;
    }
    double corners[4] = {};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::optional<double> corner = number(source.resolve(array.values[i]));
        if (!corner) {
            return std::nullopt;
        }
        corners[i] = *corner;
    }
    Box box{corners[0], corners[1], corners[2], corners[3]};
    if (box.x1 == 0 && box.y1 == 0 && box.x2 == 0 && box.y2 == 0) {
        return std::nullopt;
    }
    if (box.x1 > box.x2) {
        std::swap(box.x1, box.x2);
    }
    if (box.y1 > box.y2) {
        std::swap(box.y1, box.y2);
    }
    return box;
}

PageAttributes attributesOf(AuditSource& source, const PdfObject& node,
                            const PageAttributes& inherited) {
    PageAttributes attributes = inherited;
    if (const PdfObject* media = node.find("MediaBox")) {
        attributes.mediaBox = readBox(source, *media).value_or(attributes.mediaBox);
    }
    if (const PdfObject* crop = node.find("CropBox")) {
        if (std::optional<Box> box = readBox(source, *crop)) {
            attributes.cropBox = box;
        }
    }
    const PdfObject& rotate = valueOf(source, node, "Rotate");
    if (rotate.is(Kind::Integer) && rotate.number >= std::numeric_limits<int>::min() &&
        rotate.number <= std::numeric_limits<int>::max()) {
        const auto degrees = static_cast<int>(rotate.number % 360);
        attributes.rotation = degrees < 0 ? degrees + 360 : degrees;
    }
    return attributes;
}

PageSize shownSize(const PageAttributes& page, bool typedPage) {
    const Box& media = page.mediaBox;
    Box crop = page.cropBox.value_or(media);
    if (typedPage) {
        // A crop box wider or taller than the media box takes the media box's edges that way.
        if (crop.x2 - crop.x1 > media.x2 - media.x1) {
            crop.x1 = media.x1;
            crop.x2 = media.x2;
        }
        if (crop.y2 - crop.y1 > media.y2 - media.y1) {
            crop.y1 = media.y1;
            crop.y2 = media.y2;
        }
        clipTo(crop, media);
    }
    const double width = crop.x2 - crop.x1;
    const double height = crop.y2 - crop.y1;
    if (page.rotation == 90 || page.rotation == 270) {
        return {height, width};
    }
    return {width, height};
}

std::string pointsText(double points) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", points);
    return text;
}

} // namespace pdfinfodump
