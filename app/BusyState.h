#pragma once

class QWidget;

namespace app {

// The busy state of the main window is its hourglass cursor; there is no other busy flag.
// Handlers that must not act during a long operation test it.
bool isBusy(const QWidget* window);

// Sets the hourglass again (a long operation does so between its steps, in case something
// that ran in between took it away).
void showHourglass(QWidget* window);

// Holds the busy state for one long operation. Operations can nest, since every button
// stays usable while one runs: the hourglass stays until the outermost operation ends,
// then the default cursor comes back.
class BusyScope {
public:
    explicit BusyScope(QWidget* window);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    QWidget* window;
};

} // namespace app
