// Peer benchmark over the real-file corpus: our tool run bare, pdfinfo per file, exiftool
// -fast2 as one batch and pdftk-java on a sample, over the Debian documentation PDFs (fetched
// into a cache on the first run) and the public test PDFs. Prints the corpus figures, each
// tool's timing and the ratios between them, among them our tool against pdfinfo on the
// files over 1 MB (target: at most half of pdfinfo's time).
//
// Usage: bench_peers [--tool PATH] [--debian FOLDER] [--shared FOLDER] [--java-files N]
//                    [--chunks N] [--timeout SECONDS] [--no-fetch]
// Run it from the build folder: the tool is ./pdftk unless --tool names another. A missing
// peer is named and skipped. --no-fetch takes the Debian folder as it is, without the fetch
// script.
#include "bench/extract/BenchCorpus.h"
#include "bench/extract/PeerTimings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QThread>

#include <cstdio>

namespace {

QString option(const QStringList& arguments, const QString& name, const QString& fallback) {
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : fallback;
}

int number(const QStringList& arguments, const QString& name, int fallback) {
    bool ok = false;
    const int value = option(arguments, name, QString()).toInt(&ok);
    return ok && value > 0 ? value : fallback;
}

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readLine()).section(QLatin1Char(' '), 0, 2);
}

void print(const QString& text) {
    std::fputs(qUtf8Printable(text), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.contains(QStringLiteral("--help"))) {
        print(QStringLiteral("usage: bench_peers [--tool PATH] [--debian FOLDER] [--shared FOLDER] "
                             "[--java-files N] [--chunks N] [--timeout SECONDS] [--no-fetch]\n"));
        return 0;
    }
    const QString tool = option(arguments, QStringLiteral("--tool"),
                                QCoreApplication::applicationDirPath() + QStringLiteral("/pdftk"));
    const QString debianFolder =
        option(arguments, QStringLiteral("--debian"), bench::defaultDebianPdfFolder());
    const QString sharedFolder =
        option(arguments, QStringLiteral("--shared"), bench::defaultSharedCorpusFolder());
    const int javaFiles = number(arguments, QStringLiteral("--java-files"), 20);
    const int chunks = number(arguments, QStringLiteral("--chunks"), 10);
    bench::PeerOptions options;
    options.timeoutMs = number(arguments, QStringLiteral("--timeout"), 30) * 1000;

    print(QStringLiteral("our tool: %1\ncores: %2, load average at start: %3\n\n")
              .arg(tool)
              .arg(QThread::idealThreadCount())
              .arg(loadAverage()));

    QString error;
    if (!arguments.contains(QStringLiteral("--no-fetch")) &&
        !bench::ensureDebianPdfs(debianFolder, &error))
        std::fprintf(stderr, "no Debian PDFs: %s\n", qUtf8Printable(error));
    const bench::Corpus corpus = bench::listCorpus(debianFolder, sharedFolder);
    print(QStringLiteral("Debian PDFs cached in %1\npublic test PDFs in %2\n")
              .arg(debianFolder, sharedFolder));
    print(bench::describeCorpus(corpus));
    const QStringList files = corpus.all();
    if (files.isEmpty()) {
        std::fprintf(stderr, "no files to time\n");
        return 1;
    }
    const QStringList large = bench::filesOver(files);
    const QStringList javaSample = bench::evenSample(files, javaFiles);

    QElapsedTimer clock;
    clock.start();
    const qint64 warmed = bench::warmPageCache(files);
    print(QStringLiteral("\npage cache warmed: %1 MB read in %2 s\n")
              .arg(static_cast<double>(warmed) / 1e6, 0, 'f', 1)
              .arg(static_cast<double>(clock.elapsed()) / 1000, 0, 'f', 1));

    // The batch cannot take turns with the per-file tools: it runs first, on the warmed files.
    print(QStringLiteral("timing exiftool's batch over %1 files ...\n").arg(files.size()));
    const bench::Timing exiftool = bench::timeExiftoolBatch(files, options);
    // A few files of the public set (AES-256 encryption above all) take exiftool seconds
    // each; a second batch over the Debian PDFs alone shows its cost on ordinary documents.
    bench::Timing exiftoolDebian = bench::timeExiftoolBatch(corpus.debian, options);
    exiftoolDebian.name = QStringLiteral("exiftool -fast2, one batch, Debian PDFs");

    // pdftk-java runs on its sample only: in each chunk, on the sample's files in that chunk.
    const QSet<QString> inSample(javaSample.begin(), javaSample.end());
    bench::timePdftkJava(tool, {javaSample.first()}, options); // starts Java once, untimed
    print(QStringLiteral("timing our tool, pdfinfo (every file) and pdftk-java (%1 files) in %2 "
                         "chunks, taking turns ...\n")
              .arg(javaSample.size())
              .arg(chunks));
    const QList<bench::Timing> perFile = bench::timeInTurns(
        files, chunks,
        {[&](const QStringList& chunk) { return bench::timeOurTool(tool, chunk, options); },
         [&](const QStringList& chunk) { return bench::timePdfinfo(chunk, options); },
         [&](const QStringList& chunk) {
             QStringList part;
             for (const QString& file : chunk)
                 if (inSample.contains(file))
                     part.append(file);
             return bench::timePdftkJava(tool, part, options);
         }});
    const bench::Timing& ours = perFile[0];
    const bench::Timing& pdfinfo = perFile[1];
    const bench::Timing& java = perFile[2];

    const QList<bench::Timing> all{ours, pdfinfo, exiftool, java};
    print(QStringLiteral("\nevery file of the corpus (pdftk-java: its sample of %1)\n")
              .arg(javaSample.size()));
    print(bench::formatTimings(all));

    const QString oursOnSample = QStringLiteral("our tool on pdftk-java's sample");
    const QString oursLarge = QStringLiteral("our tool, files over 1 MB");
    const QString pdfinfoLarge = QStringLiteral("pdfinfo, files over 1 MB");
    const QString oursDebian = QStringLiteral("our tool, Debian PDFs");
    const QString pdfinfoDebian = QStringLiteral("pdfinfo, Debian PDFs");
    const QList<bench::Timing> parts{
        bench::restrictedTo(ours, javaSample, oursOnSample),
        bench::restrictedTo(ours, corpus.debian, oursDebian),
        bench::restrictedTo(pdfinfo, corpus.debian, pdfinfoDebian),
        exiftoolDebian,
        bench::restrictedTo(ours, large, oursLarge),
        bench::restrictedTo(pdfinfo, large, pdfinfoLarge),
    };
    print(QStringLiteral("\nparts of the corpus: the same runs (exiftool: a batch of its own)\n"));
    print(bench::formatTimings(parts));

    print(QStringLiteral("\nratios\n"));
    print(bench::formatRatios(all + parts,
                              {
                                  {ours.name, pdfinfo.name, 0},
                                  {ours.name, exiftool.name, 0},
                                  {oursOnSample, java.name, 0},
                                  {exiftool.name, pdfinfo.name, 0},
                                  {oursDebian, pdfinfoDebian, 0},
                                  {oursDebian, exiftoolDebian.name, 0},
                                  // At most half of pdfinfo's time: at least twice as fast.
                                  {oursLarge, pdfinfoLarge, 2.0},
                              }));
    print(QStringLiteral("\nload average at end: %1; wall time of the whole benchmark: %2 s\n")
              .arg(loadAverage())
              .arg(static_cast<double>(clock.elapsed()) / 1000, 0, 'f', 1));
    return 0;
}
