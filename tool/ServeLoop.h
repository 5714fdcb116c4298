#pragma once

#include <cstdint>
#include <string>

namespace pdfinfodump {

// What surrounds the reading of each requested file: in the serving process the processor
// limit and the capture of standard error (ServeProcess.cpp), in a test or fuzz target
// nothing.
class RequestGuard {
public:
    virtual ~RequestGuard() = default;
    // Just before the file of request id is read.
    virtual void begin(std::uint64_t id) = 0;
    // Just after: what was written on standard error in between, which a run of the tool
    // for that file would have shown before its own lines.
    virtual std::string end() = 0;
};

// Serves the requests read from input (ServeProtocol.h) until its end, writing the ready line
// and then one answer for each request to output, each with one write. Every file is read
// afresh, as a run of the tool for it alone would read it, and the heap is trimmed before the
// next request once it holds more than a small reserve (16 MB). Returns the exit status: 0 at the
// end of input between requests; 2 after a header that is no request or input that ends inside a
// request (both answered with status 2 and the reason); 1 when an answer cannot be written.
int serveRequests(int input, int output, RequestGuard& guard);

} // namespace pdfinfodump
