#pragma once

#include <string>

namespace pdfinfodump {

// Takes what is written on standard error (descriptor 2) between start() and stop(), by
// pointing the descriptor at a file in memory meanwhile: our lines and those of any library,
// qpdf's default logger included, each in the order written. Without such a file (when the
// system cannot make one) nothing is taken and standard error stays as it is.
class StandardErrorCapture {
public:
    StandardErrorCapture();
    ~StandardErrorCapture();
    StandardErrorCapture(const StandardErrorCapture&) = delete;
    StandardErrorCapture& operator=(const StandardErrorCapture&) = delete;

    void start();
    // What was written since start(); standard error is then the original again.
    std::string stop();
    // The file in memory that holds what was written, or -1.
    int descriptor() const { return memory_; }

private:
    int memory_ = -1;
    int original_ = -1;
};

} // namespace pdfinfodump
