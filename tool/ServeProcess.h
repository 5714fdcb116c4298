#pragma once

namespace pdfinfodump {

// The tool's serving mode, `pdftk --serve`: serves the requests on standard input with the
// answers on standard output (ServeLoop.h, ServeProtocol.h) and returns the exit status.
// Standard output then carries the frames only: whatever else writes to it is dropped. What a
// file's reading writes on standard error goes into its answer. The processor limit
// (ResourceLimits.h) holds for each file; a file that reaches it is answered as a run of the
// tool for it would end, status 1 and the limit's line, and the process then ends with 1.
int serveStandardStreams();

} // namespace pdfinfodump
