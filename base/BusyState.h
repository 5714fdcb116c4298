#pragma once

namespace base {

// The busy state of the program while a long operation runs. Every control stays usable
// meanwhile; the handlers that must not act during such an operation (removing files,
// starting a second run) test it and refuse. The window shows it as the hourglass cursor.
// Operations can nest, since every button stays usable while one runs: the program stays
// busy until the outermost operation ends.
class BusyState {
public:
    virtual ~BusyState() = default;
    bool isBusy() const { return depth > 0; }
    void enter();
    void leave();
    // Shows the busy state again between the steps of an operation, in case something that
    // ran in between (a dialog, say) took it away.
    virtual void remind() {}

protected:
    // Shows the state: busy, or idle again.
    virtual void show(bool busy) = 0;

private:
    int depth = 0;
};

// Holds the busy state for one long operation.
class BusyScope {
public:
    explicit BusyScope(BusyState& held) : state(held) { state.enter(); }
    ~BusyScope() { state.leave(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BusyState& state;
};

// A busy state that shows nothing, for the command line and for tests.
class QuietBusyState final : public BusyState {
protected:
    void show(bool) override {}
};

} // namespace base
