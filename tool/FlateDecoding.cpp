#include "tool/FlateDecoding.h"

#include <zlib.h>

#include <cstdlib>
#include <limits>

namespace pdfinfodump {

std::optional<std::string> inflated(std::string_view data, std::size_t limit) {
    if (data.size() > std::numeric_limits<uInt>::max()) {
        return std::nullopt;
    }
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return std::nullopt;
    }
    // zlib's interface is C's: it takes the input as non-const bytes and does not change them.
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    std::string out;
    int status = Z_OK;
    while (status == Z_OK) {
        const std::size_t done = out.size();
        if (done >= limit) {
            break;
        }
        const std::size_t room = std::min<std::size_t>(limit - done, 64 << 10);
        out.resize(done + room);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + done);
        stream.avail_out = static_cast<uInt>(room);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(done + room - stream.avail_out);
        if (status == Z_BUF_ERROR && stream.avail_out > 0) {
            break; // the input ended before the zlib stream did
        }
        if (status == Z_BUF_ERROR) {
            status = Z_OK; // the output was full: give it more room
        }
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        return std::nullopt;
    }
    return out;
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
