#pragma once

#include "app/EventPump.h"
#include "app/Form1.h"

#include <QPushButton>

namespace app {

// Runs handler(window) whenever the button is clicked, as an event handler of the main
// window (see runHandler).
inline void onClick(QPushButton* button, Form1& window, void (*handler)(Form1&)) {
    QObject::connect(button, &QPushButton::clicked, &window,
                     [&window, handler] { runHandler([&] { handler(window); }); });
}

} // namespace app
