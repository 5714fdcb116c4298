#include "base/BusyState.h"

namespace base {

void BusyState::enter() {
    if (depth++ == 0)
        show(true);
}

void BusyState::leave() {
    if (depth > 0 && --depth == 0)
        show(false);
}

} // namespace base
