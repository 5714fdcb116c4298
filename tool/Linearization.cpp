#include "tool/Linearization.h"

#include "tool/PdfSyntax.h"

#include <cstdlib>

namespace pdfinfodump {

bool isLinearized(std::string_view head, std::int64_t fileSize) {
    using Kind = PdfObject::Kind;
    try {
        PdfParser parser(head, static_cast<std::int64_t>(head.size()) >= fileSize);
        std::int64_t number = 0;
        std::int64_t generation = 0;
        if (!parser.takeInteger(number) || !parser.takeInteger(generation) ||
            !parser.takeKeyword("obj")) {
            return false;
        }
        const PdfObject dictionary = parser.readObject();
        const PdfObject* flag = dictionary.find("Linearized");
        const PdfObject* length = dictionary.find("L");
        const bool positive =
            flag && ((flag->is(Kind::Integer) && flag->number > 0) ||
                     (flag->is(Kind::Real) && std::strtod(flag->bytes.c_str(), nullptr) > 0));
        return positive && length && length->is(Kind::Integer) && length->number == fileSize;
    } catch (const GiveWayToQpdf&) {
        return false;
    } catch (const NeedMoreBytes&) {
        return false;
    }
}

} // namespace pdfinfodump
