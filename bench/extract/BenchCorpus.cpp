#include "bench/extract/BenchCorpus.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cstdio>

namespace bench {

namespace {

// The environment as the program started: read before main, so that a later change of
// XDG_CACHE_HOME (the tests' isolated environment) does not move the cache.
const QString startCacheOverride = qEnvironmentVariable("PARVILON_BENCH_DEBIAN_PDFS");
const QString startXdgCacheHome = qEnvironmentVariable("XDG_CACHE_HOME");
const QString startHome = qEnvironmentVariable("HOME");

bool isPdfName(const QString& name) {
    return name.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
}

void warn(const QString& text) {
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}

QString megabytes(qint64 bytes) {
    return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / 1e6, 0, 'f', 1);
}

QString sizeText(qint64 bytes) {
    return bytes < 1'000'000 ? QStringLiteral("%1 bytes").arg(bytes) : megabytes(bytes);
}

} // namespace

QString defaultDebianPdfFolder() {
    if (!startCacheOverride.isEmpty())
        return startCacheOverride;
    const QString cache =
        !startXdgCacheHome.isEmpty() ? startXdgCacheHome : startHome + QStringLiteral("/.cache");
    return cache + QStringLiteral("/parvilon-bench/debian-pdfs");
}

QString defaultSharedCorpusFolder() {
    const QString fromEnvironment = qEnvironmentVariable("PARVILON_PDF_CORPUS");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QDir::cleanPath(QStringLiteral(PARVILON_SOURCE_DIR "/../shared/pdf-corpus"));
}

bool ensureDebianPdfs(const QString& folder, QString* error) {
    const QString script = QStringLiteral(PARVILON_FETCH_DEBIAN_PDFS);
    QProcess fetch;
    fetch.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    fetch.setStandardInputFile(QProcess::nullDevice());
    fetch.start(QStringLiteral("bash"), {script, folder});
    // Downloading and unpacking some 350 MB of packages takes a minute or two.
    const bool started = fetch.waitForStarted();
    const bool finished = started && fetch.waitForFinished(30 * 60 * 1000);
    const QByteArray summary = fetch.readAllStandardOutput().trimmed();
    if (!summary.isEmpty())
        warn(QStringLiteral("Debian PDFs in %1: %2").arg(folder, QString::fromUtf8(summary)));
    if (!finished) {
        fetch.kill();
        fetch.waitForFinished();
    }
    const bool complete =
        finished && fetch.exitStatus() == QProcess::NormalExit && fetch.exitCode() == 0;
    const bool hasPdfs = !QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files).isEmpty();
    if (!complete && hasPdfs)
        warn(QStringLiteral("warning: %1 did not fetch every package; going on with the PDFs "
                            "it has")
                 .arg(script));
    if (!hasPdfs && error)
        *error = started ? QStringLiteral("%1 %2 left no PDF there").arg(script, folder)
                         : QStringLiteral("cannot start bash to run %1").arg(script);
    return hasPdfs;
}

QList<SkippedFile> skippedSharedFiles() {
    const QString xrefLoop = QStringLiteral("xref loop: pdftk-java hangs");
    const QString compressedXref =
        QStringLiteral("xref stream inside an object stream: qpdf --check crashes");
    // qpdf-suite/ holds copies of the qpdf/ files under the same names.
    return {
        {QStringLiteral("qpdf/append-xref-loop.pdf"), xrefLoop},
        {QStringLiteral("qpdf-suite/append-xref-loop.pdf"), xrefLoop},
        {QStringLiteral("qpdf/issue-149.pdf"), xrefLoop},
        {QStringLiteral("qpdf-suite/issue-149.pdf"), xrefLoop},
        {QStringLiteral("qpdf/xref-compressed-in-compressed.pdf"), compressedXref},
        {QStringLiteral("qpdf-suite/xref-compressed-in-compressed.pdf"), compressedXref},
        {QStringLiteral("qpdf-suite/shared-unnamed-field.pdf"),
         QStringLiteral("pdfinfo hangs: still running after 60 s")},
    };
}

Corpus listCorpus(const QString& debianFolder, const QString& sharedFolder) {
    Corpus corpus;
    if (!debianFolder.isEmpty()) {
        const QDir debian(debianFolder);
        for (const QString& name : debian.entryList({QStringLiteral("*.pdf")}, QDir::Files))
            corpus.debian.append(debian.absoluteFilePath(name));
    }
    if (!sharedFolder.isEmpty() && QFileInfo(sharedFolder).isDir()) {
        const QDir shared(sharedFolder);
        const QList<SkippedFile> skipped = skippedSharedFiles();
        QDirIterator walk(sharedFolder, QDir::Files, QDirIterator::Subdirectories);
        while (walk.hasNext()) {
            const QString path = walk.next();
            if (!isPdfName(path))
                continue;
            const QString relative = shared.relativeFilePath(path);
            const auto skip =
                std::find_if(skipped.begin(), skipped.end(), [&](const SkippedFile& file) {
                    return file.relativePath == relative;
                });
            if (skip != skipped.end())
                corpus.skipped.append(*skip);
            else
                corpus.shared.append(QFileInfo(path).absoluteFilePath());
        }
        corpus.shared.sort();
        std::sort(corpus.skipped.begin(), corpus.skipped.end(),
                  [](const SkippedFile& a, const SkippedFile& b) {
                      return a.relativePath < b.relativePath;
                  });
    }
    corpus.debian.sort();
    return corpus;
}

Corpus loadDefaultCorpus() {
    const QString debianFolder = defaultDebianPdfFolder();
    QString error;
    if (!ensureDebianPdfs(debianFolder, &error)) {
        warn(QStringLiteral("no Debian PDFs: %1").arg(error));
        return listCorpus(QString(), defaultSharedCorpusFolder());
    }
    const QString sharedFolder = defaultSharedCorpusFolder();
    if (!QFileInfo(sharedFolder).isDir())
        warn(QStringLiteral("no public test PDFs: %1 is missing").arg(sharedFolder));
    return listCorpus(debianFolder, sharedFolder);
}

QStringList filesOver(const QStringList& files, qint64 bytes) {
    QStringList over;
    for (const QString& file : files)
        if (QFileInfo(file).size() > bytes)
            over.append(file);
    return over;
}

CorpusFigures corpusFigures(const QStringList& files) {
    CorpusFigures figures;
    for (const QString& file : files) {
        const qint64 size = QFileInfo(file).size();
        figures.smallest = figures.files == 0 ? size : std::min(figures.smallest, size);
        figures.largest = std::max(figures.largest, size);
        ++figures.files;
        figures.bytes += size;
        if (size > largeFileBytes)
            ++figures.large;
    }
    return figures;
}

QString describeFiles(const QString& label, const QStringList& files) {
    const CorpusFigures figures = corpusFigures(files);
    if (figures.files == 0)
        return label + QStringLiteral(": no files");
    return QStringLiteral("%1: %2 files, %3, %4 over 1 MB, %5 to %6")
        .arg(label)
        .arg(figures.files)
        .arg(megabytes(figures.bytes))
        .arg(figures.large)
        .arg(sizeText(figures.smallest), sizeText(figures.largest));
}

QString describeCorpus(const Corpus& corpus) {
    QStringList lines{
        describeFiles(QStringLiteral("Debian documentation PDFs"), corpus.debian),
        describeFiles(QStringLiteral("public test PDFs (../shared/pdf-corpus)"), corpus.shared),
        describeFiles(QStringLiteral("the whole corpus"), corpus.all()),
    };
    if (!corpus.skipped.isEmpty()) {
        lines.append(QStringLiteral("left out of the public test PDFs:"));
        for (const SkippedFile& file : corpus.skipped)
            lines.append(QStringLiteral("  %1 (%2)").arg(file.relativePath, file.reason));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace bench
