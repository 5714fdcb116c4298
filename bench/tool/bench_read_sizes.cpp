// Where reading a PDF whole stops paying: the processor time of the tool's read of each file,
// read whole with one read and through block caches of several block sizes, by file size.
//
//   bench_read_sizes [--rounds N] FOLDER_OR_FILE...
//
// Each read runs in a child process of its own (fork, read, exit), so that it pays for fresh
// memory as the tool, started once per file, does; the child's user and system time comes
// from wait4(). The ways of reading take turns on each file, N rounds (default 5). Prints,
// for each band of file sizes, the median microseconds per file of each way and which is
// cheapest; the whole-read limit in tool/PdfReading.h is set from these figures.

#include "tool/PdfReading.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace pdfinfodump;

namespace {

struct Way {
    const char* name;
    FileReading reading;
};

FileReading blocks(std::size_t size, std::size_t count) {
    FileReading reading;
    reading.wholeReadLimit = 0;
    reading.blockSize = size;
    reading.cachedBlocks = count;
    return reading;
}

FileReading whole() {
    FileReading reading;
    reading.wholeReadLimit = std::int64_t{1} << 40;
    return reading;
}

// The child's processor microseconds for one read, or -1 when it failed to run.
long childMicroseconds(const std::string& path, const FileReading& reading) {
    const pid_t child = ::fork();
    if (child == 0) {
        const ReadResult result = readPdfFile(path, std::nullopt, reading);
        ::_exit(result.ok ? 0 : 1);
    }
    if (child < 0) {
        return -1;
    }
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child) {
        return -1;
    }
    return usage.ru_utime.tv_sec * 1'000'000L + usage.ru_utime.tv_usec +
           usage.ru_stime.tv_sec * 1'000'000L + usage.ru_stime.tv_usec;
}

long median(std::vector<long> values) {
    if (values.empty()) {
        return 0;
    }
    std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2),
                     values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    namespace fs = std::filesystem;
    int rounds = 5;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--rounds" && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if (fs::is_directory(argument)) {
            for (const auto& entry : fs::recursive_directory_iterator(argument)) {
                if (entry.is_regular_file() && entry.path().extension() == ".pdf") {
                    files.push_back(entry.path().string());
                }
            }
        } else if (fs::is_regular_file(argument)) {
            files.push_back(argument);
        } else {
            std::fprintf(stderr, "usage: bench_read_sizes [--rounds N] FOLDER_OR_FILE...\n");
            return 2;
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "no PDF files\n");
        return 2;
    }

    const std::array<Way, 4> ways = {{{"whole", whole()},
                                      {"4 KiB blocks", blocks(std::size_t{4} << 10, 256)},
                                      {"16 KiB blocks", blocks(std::size_t{16} << 10, 64)},
                                      {"64 KiB blocks", blocks(std::size_t{64} << 10, 16)}}};
    constexpr std::array<std::uintmax_t, 7> bandEnds = {16 << 10,  64 << 10, 128 << 10,  256 << 10,
                                                        512 << 10, 1 << 20,  UINTMAX_MAX};
    // Per band and way, the median time of each file over the rounds.
    std::vector<std::array<std::vector<long>, ways.size()>> perBand(bandEnds.size());
    std::vector<std::size_t> bandFiles(bandEnds.size());
    for (const std::string& path : files) {
        const std::uintmax_t size = fs::file_size(path);
        const auto band = static_cast<std::size_t>(
            std::lower_bound(bandEnds.begin(), bandEnds.end(), size) - bandEnds.begin());
        std::array<std::vector<long>, ways.size()> times;
        for (int round = 0; round < rounds; ++round) {
            for (std::size_t w = 0; w < ways.size(); ++w) {
                // The order turns, so that no way always runs first on a file.
                const std::size_t way = (w + static_cast<std::size_t>(round)) % ways.size();
                times[way].push_back(childMicroseconds(path, ways[way].reading));
            }
        }
        for (std::size_t way = 0; way < ways.size(); ++way) {
            perBand[band][way].push_back(median(times[way]));
        }
        ++bandFiles[band];
    }

    std::printf("Processor microseconds per file (median over files of the median of %d rounds)\n",
                rounds);
    std::printf("%-16s%7s", "file size", "files");
    for (const Way& way : ways) {
        std::printf("%15s", way.name);
    }
    std::printf("  cheapest\n");
    std::uintmax_t bandStart = 0;
    for (std::size_t band = 0; band < bandEnds.size(); ++band) {
        if (bandFiles[band] > 0) {
            const std::string label = bandEnds[band] == UINTMAX_MAX
                                          ? "> " + std::to_string(bandStart >> 10) + " KiB"
                                          : std::to_string(bandStart >> 10) + "-" +
                                                std::to_string(bandEnds[band] >> 10) + " KiB";
            std::printf("%-16s%7zu", label.c_str(), bandFiles[band]);
            std::size_t cheapest = 0;
            for (std::size_t way = 0; way < ways.size(); ++way) {
                const long time = median(perBand[band][way]);
                std::printf("%15ld", time);
                if (time < median(perBand[band][cheapest])) {
                    cheapest = way;
                }
            }
            std::printf("  %s\n", ways[cheapest].name);
        }
        bandStart = bandEnds[band];
    }
    return 0;
}
