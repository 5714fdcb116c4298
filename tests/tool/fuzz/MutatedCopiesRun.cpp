// Runs the fuzz target over mutated copies of sample files, in this one process, and prints
// figures: how many ran, the slowest and the total time. Deterministic for a given seed, so a
// failure can be repeated and the copy that caused it saved (--keep writes each copy to a
// file before it runs: after a crash or hang the file holds the culprit; --slowest writes the
// slowest copy at the end).
//
//   tool_mutated_copies_run [--count N] [--seed S] [--seconds T] [--max-size BYTES]
//                           [--keep FILE] [--slowest FILE] FOLDER_OR_FILE...
//
// A copy that runs longer than T seconds is a hang: the process then reports it and exits 3.
// A crash is whatever the sanitizers or the fuzz target's own checks make of it.

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Options {
    long count = 10000;
    std::uint64_t seed = 1;
    double seconds = 10;
    std::uintmax_t maxSize = 64 * 1024;
    std::string keep;
    std::string slowest;
    std::vector<std::string> inputs;
};

// Tokens that random changes seldom spell, so that copies reach the repairs and the XMP.
constexpr std::array<std::string_view, 20> tokens = {" obj\n",
                                                     "endobj\n",
                                                     "trailer\n<< /Root 1 0 R >>\n",
                                                     "startxref\n",
                                                     "xref\n0 1\n",
                                                     "%%EOF\n",
                                                     "/Type /Catalog",
                                                     "/Type /XRef",
                                                     "/Type /Pages",
                                                     "/Encrypt 5",
                                                     "/StmF /Identity",
                                                     "99999999999999999999",
                                                     "3000000000 0 R",
                                                     "/Kids [2 0 R]",
                                                     "/Count 0",
                                                     "/Metadata 4 0 R",
                                                     "<rdf:li xml:lang=\"x-default\">",
                                                     "</rdf:Description>",
                                                     "<!ENTITY a \"b\">",
                                                     "]>>"};

class Mutator {
public:
    explicit Mutator(std::uint64_t seed) : random_(seed) {}

    std::size_t below(std::size_t bound) {
        return bound == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
    }

    // One to four random changes of a copy of source; other is a second file for splicing.
    std::string mutate(const std::string& source, const std::string& other) {
        std::string copy = source;
        const std::size_t changes = 1 + below(4);
        for (std::size_t i = 0; i < changes; ++i) {
            change(copy, other);
        }
        return copy;
    }

private:
    void change(std::string& copy, const std::string& other) {
        const std::size_t at = below(copy.size() + 1);
        switch (below(7)) {
        case 0: // flip bits
            for (std::size_t n = 1 + below(8); n > 0 && !copy.empty(); --n) {
                copy[below(copy.size())] ^= static_cast<char>(1 << below(8));
            }
            break;
        case 1: // overwrite with random bytes
            for (std::size_t i = at; i < std::min(copy.size(), at + 1 + below(16)); ++i) {
                copy[i] = static_cast<char>(below(256));
            }
            break;
        case 2: // delete a range
            copy.erase(std::min(at, copy.size()), 1 + below(256));
            break;
        case 3: { // duplicate a range from elsewhere
            const std::size_t from = below(copy.size() + 1);
            const std::string part = copy.substr(from, 1 + below(512));
            copy.insert(at, part);
            break;
        }
        case 4: // insert a token
            copy.insert(at, tokens[below(tokens.size())]);
            break;
        case 5: // truncate
            copy.resize(at);
            break;
        default: // splice in part of another file
            copy.insert(at, other.substr(below(other.size() + 1), 1 + below(1024)));
            break;
        }
    }

    std::mt19937_64 random_;
};

std::optional<Options> parse(int argc, char* argv[]) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--count" && hasValue) {
            options.count = std::atol(argv[++i]);
        } else if (argument == "--seed" && hasValue) {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (argument == "--seconds" && hasValue) {
            options.seconds = std::atof(argv[++i]);
        } else if (argument == "--max-size" && hasValue) {
            options.maxSize = std::strtoull(argv[++i], nullptr, 10);
        } else if (argument == "--keep" && hasValue) {
            options.keep = argv[++i];
        } else if (argument == "--slowest" && hasValue) {
            options.slowest = argv[++i];
        } else if (argument.rfind("--", 0) == 0) {
            return std::nullopt;
        } else {
            options.inputs.emplace_back(argument);
        }
    }
    if (options.inputs.empty() || options.count <= 0 || options.seconds <= 0) {
        return std::nullopt;
    }
    return options;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The sample files, in a fixed order, so that a seed always makes the same copies.
std::vector<std::pair<std::string, std::string>> samples(const Options& options) {
    std::vector<fs::path> paths;
    for (const std::string& input : options.inputs) {
        if (fs::is_directory(input)) {
            for (const auto& entry : fs::recursive_directory_iterator(input)) {
                if (entry.is_regular_file() && entry.file_size() <= options.maxSize) {
                    paths.push_back(entry.path());
                }
            }
        } else if (fs::is_regular_file(input)) {
            paths.emplace_back(input);
        }
    }
    std::sort(paths.begin(), paths.end());
    std::vector<std::pair<std::string, std::string>> files;
    for (const fs::path& path : paths) {
        files.emplace_back(path.string(), readFile(path));
    }
    return files;
}

// Started copies and the time the current one started; the watchdog reads both.
std::atomic<long> started{0};
std::atomic<Clock::rep> startedAt{0};
std::atomic<bool> finished{false};

void watch(double seconds, const std::vector<std::string>* sources) {
    const auto limit =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    while (!finished) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const long current = started;
        const Clock::duration running =
            Clock::now().time_since_epoch() - Clock::duration(startedAt.load());
        if (current > 0 && running > limit && !finished) {
            std::printf("HANG: mutated copy #%ld (of %s) ran over %.1f s\n", current - 1,
                        (*sources)[static_cast<std::size_t>(current - 1)].c_str(), seconds);
            std::fflush(stdout);
            ::_exit(3);
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const std::optional<Options> options = parse(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: %s [--count N] [--seed S] [--seconds T] [--max-size BYTES] "
                     "[--keep FILE] [--slowest FILE] FOLDER_OR_FILE...\n",
                     argv[0]);
        return 2;
    }
    const auto files = samples(*options);
    if (files.empty()) {
        std::fprintf(stderr, "no sample files\n");
        return 2;
    }
    Mutator mutator(options->seed);
    std::vector<std::string> sources(static_cast<std::size_t>(options->count));
    std::thread watchdog(watch, options->seconds, &sources);

    const Clock::time_point begin = Clock::now();
    Clock::duration slowest{};
    long slowestCopy = -1;
    std::string slowestBytes;
    for (long i = 0; i < options->count; ++i) {
        const auto& [path, bytes] = files[mutator.below(files.size())];
        const std::string copy = mutator.mutate(bytes, files[mutator.below(files.size())].second);
        sources[static_cast<std::size_t>(i)] = path;
        if (!options->keep.empty()) {
            std::ofstream(options->keep, std::ios::binary | std::ios::trunc) << copy;
        }
        const Clock::time_point start = Clock::now();
        startedAt = start.time_since_epoch().count();
        started = i + 1;
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(copy.data()), copy.size());
        const Clock::duration took = Clock::now() - start;
        if (took > slowest) {
            slowest = took;
            slowestCopy = i;
            if (!options->slowest.empty()) {
                slowestBytes = copy;
            }
        }
    }
    finished = true;
    watchdog.join();
    if (!options->keep.empty()) {
        fs::remove(options->keep);
    }
    if (!options->slowest.empty()) {
        std::ofstream(options->slowest, std::ios::binary | std::ios::trunc) << slowestBytes;
    }
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    std::printf("mutated copies run: %ld of %zu sample files (seed %llu); slowest %.1f ms "
                "(#%ld); total %.1f s\n",
                options->count, files.size(), static_cast<unsigned long long>(options->seed),
                ms(slowest), slowestCopy, ms(Clock::now() - begin) / 1000);
    return 0;
}
