#pragma once

#include "base/Properties.h"
#include "base/Result.h"
#include "base/ResultsSnapshot.h"

#include <QString>

#include <memory>

namespace output {
class BlockWriter;
class WholeFileWriter;
} // namespace output

namespace cli {

// JSON Lines written as the run makes its rows, one object a line: on standard output each
// line at once, so a reader sees every file as soon as it is read; into a file that takes the
// place of the one at its path only once complete (output/WholeFileWriter.h), so an
// interrupted run leaves the old file as it was.
class JsonLinesStream {
public:
    // For path "-", standard output. Throws RunTimeError, with the path and the reason, when
    // the file cannot be started.
    JsonLinesStream(const QString& path, base::Columns columns);
    ~JsonLinesStream();

    // Writes the row's line. False once a write has failed; failure() then says why.
    bool write(const base::ResultRowData& row);
    // Puts the file in place (nothing to do on standard output).
    base::Status finish();
    const QString& failure() const { return problem; }

private:
    const base::Columns columns;
    std::unique_ptr<output::WholeFileWriter> file; // none for standard output
    std::unique_ptr<output::BlockWriter> blocks;
    QString problem;
};

} // namespace cli
