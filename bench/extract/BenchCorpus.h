#pragma once

// The real-file corpus of the extraction benchmark: PDFs from Debian documentation packages,
// fetched into a cache folder by fetch-debian-pdfs.sh beside this file, and the public test
// PDFs in ../shared/pdf-corpus beside the source tree.

#include <QList>
#include <QString>
#include <QStringList>

namespace bench {

// "Over 1 MB" means over this many bytes, here and in fetch-debian-pdfs.sh.
inline constexpr qint64 largeFileBytes = 1'000'000;

// The cache folder of the Debian PDFs: $PARVILON_BENCH_DEBIAN_PDFS when set, else
// $XDG_CACHE_HOME/parvilon-bench/debian-pdfs, else ~/.cache/parvilon-bench/debian-pdfs. The
// environment is the one the program started with, so a benchmark that isolates its
// environment afterwards (a temporary XDG_CACHE_HOME) still finds the cache.
QString defaultDebianPdfFolder();

// The public test PDFs: $PARVILON_PDF_CORPUS when set, else ../shared/pdf-corpus beside the
// source tree.
QString defaultSharedCorpusFolder();

// Fills folder with the Debian PDFs by running the fetch script, which downloads only what
// the cache lacks (nothing on a second run); the script's messages go to standard error.
// Returns false, with the reason in *error, when the folder holds no PDF afterwards. A fetch
// that got only some packages still returns true, after a warning on standard error.
bool ensureDebianPdfs(const QString& folder, QString* error = nullptr);

// A file of the public corpus left out of the benchmark, and why.
struct SkippedFile {
    QString relativePath;
    QString reason;
};

// The files of the public corpus that hang or crash one of the tools the benchmark times or
// that we measured beside them (from /work/shared/pdf-corpus/README.md and our own runs).
QList<SkippedFile> skippedSharedFiles();

struct Corpus {
    QStringList debian;         // absolute paths, sorted
    QStringList shared;         // absolute paths, sorted, without the skipped files
    QList<SkippedFile> skipped; // the skipped files that were present
    QStringList all() const { return debian + shared; }
};

// The benchmark's files: every *.pdf in debianFolder and every *.pdf below sharedFolder less
// the skipped ones. A missing folder gives no files.
Corpus listCorpus(const QString& debianFolder, const QString& sharedFolder);

// ensureDebianPdfs into the default folder, then listCorpus of the default folders. Returns a
// corpus without Debian files (and says why on standard error) when they cannot be fetched.
Corpus loadDefaultCorpus();

// The files larger than bytes.
QStringList filesOver(const QStringList& files, qint64 bytes = largeFileBytes);

struct CorpusFigures {
    qsizetype files = 0;
    qint64 bytes = 0;
    qsizetype large = 0; // over largeFileBytes
    qint64 smallest = 0;
    qint64 largest = 0;
};
CorpusFigures corpusFigures(const QStringList& files);

// One line: "LABEL: 1067 files, 376.2 MB, 44 over 1 MB, 845 bytes to 29.0 MB".
QString describeFiles(const QString& label, const QStringList& files);

// Several lines: the Debian and public parts, the whole, and the skipped files with reasons.
QString describeCorpus(const Corpus& corpus);

} // namespace bench
