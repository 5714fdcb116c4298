#include "tool/FlateDecoding.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace pdfinfodump {

namespace {

struct FreeDecompressor {
    void operator()(libdeflate_decompressor* decompressor) const {
        libdeflate_free_decompressor(decompressor);
    }
};

} // namespace

std::optional<std::string> inflated(std::string_view data, std::size_t limit) {
    // libdeflate inflates a whole buffer at once, about twice as fast as zlib's inflater; the
    // audit's page walk spends most of its time inflating object streams. One decompressor
    // and one output buffer serve every stream.
    thread_local std::unique_ptr<libdeflate_decompressor, FreeDecompressor> decompressor(
        libdeflate_alloc_decompressor());
    if (!decompressor) {
        return std::nullopt;
    }
    thread_local std::string buffer;
    // Object streams inflate to a few times their size; a guess too small is doubled.
    std::size_t room = std::min(limit, std::max<std::size_t>(data.size() * 4, 64 << 10));
    while (true) {
        if (buffer.size() < room) {
            buffer.resize(room);
        }
        std::size_t read = 0;
        std::size_t written = 0;
        const libdeflate_result result = libdeflate_zlib_decompress_ex(
            decompressor.get(), data.data(), data.size(), buffer.data(), room, &read, &written);
        if (result == LIBDEFLATE_SUCCESS) {
            return buffer.substr(0, written);
        }
        if (result != LIBDEFLATE_INSUFFICIENT_SPACE || room >= limit) {
            return std::nullopt;
        }
        room = room > limit / 2 ? limit : room * 2;
    }
}

std::optional<std::string> withoutPngPrediction(std::string_view data, std::size_t columns) {
    const std::size_t row = columns + 1;
    if (columns == 0 || data.size() % row != 0) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(data.size() / row * columns);
    std::string previous(columns, '\0');
    std::string current(columns, '\0');
    for (std::size_t start = 0; start < data.size(); start += row) {
        const char type = data[start];
        for (std::size_t i = 0; i < columns; ++i) {
            const int x = static_cast<unsigned char>(data[start + 1 + i]);
            const int a = i > 0 ? static_cast<unsigned char>(current[i - 1]) : 0;
            const int b = static_cast<unsigned char>(previous[i]);
            const int c = i > 0 ? static_cast<unsigned char>(previous[i - 1]) : 0;
            int predicted = 0;
            switch (type) {
            case 0:
                break;
            case 1:
                predicted = a;
                break;
            case 2:
                predicted = b;
                break;
            case 3:
                predicted = (a + b) / 2;
                break;
            case 4: {
                const int p = a + b - c;
                const int pa = std::abs(p - a);
                const int pb = std::abs(p - b);
                const int pc = std::abs(p - c);
                predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                break;
            }
            default:
                return std::nullopt;
            }
            current[i] = static_cast<char>((x + predicted) & 0xFF);
        }
        out += current;
        previous.swap(current);
    }
    return out;
}

} // namespace pdfinfodump
