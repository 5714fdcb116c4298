#include "base/CellValue.h"

namespace base {

QString CellValue::text() const {
    return isText() ? std::get<QString>(value) : QString();
}

} // namespace base
