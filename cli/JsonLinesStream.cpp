#include "cli/JsonLinesStream.h"

#include "cli/StandardOutput.h"
#include "output/BlockWriter.h"
#include "output/JsonValues.h"
#include "output/WholeFileWriter.h"

namespace cli {

JsonLinesStream::JsonLinesStream(const QString& path, base::Columns chosen)
    : columns(std::move(chosen)) {
    if (path == QLatin1String("-"))
        return;
    file = std::make_unique<output::WholeFileWriter>(path);
    blocks = std::make_unique<output::BlockWriter>(file->device());
}

JsonLinesStream::~JsonLinesStream() = default;

bool JsonLinesStream::write(const base::ResultRowData& row) {
    if (!problem.isEmpty())
        return false;
    const QByteArray line = output::jsonText(columns, row) + '\n';
    if (!file) {
        if (const QString reason = writeStandardOutput(line); !reason.isEmpty())
            problem = QStringLiteral("the standard output cannot be written: %1").arg(reason);
        return problem.isEmpty();
    }
    try {
        blocks->addRecord({line});
    } catch (const base::RunTimeError&) {
        try {
            file->failure(); // the same refusal, said with the file's name
        } catch (const base::RunTimeError& error) {
            problem = QString::fromUtf8(error.what());
        }
    }
    return problem.isEmpty();
}

base::Status JsonLinesStream::finish() {
    if (!problem.isEmpty())
        return base::Status::failure(problem);
    if (!file)
        return base::Status::success();
    try {
        try {
            blocks->flush();
        } catch (const base::RunTimeError&) {
            file->failure();
        }
        file->commit();
        return base::Status::success();
    } catch (const base::RunTimeError& error) {
        problem = QString::fromUtf8(error.what());
        return base::Status::failure(problem);
    }
}

} // namespace cli
