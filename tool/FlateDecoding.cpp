#include "tool/FlateDecoding.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace pdfinfodump {

namespace {

// One inflater for every stream: a file's audit may decode thousands of small object streams,
// and each fresh inflater allocates and touches its 32 KiB window anew.
class Inflater {
public:
    Inflater() { ready_ = inflateInit(&stream_) == Z_OK; }
    ~Inflater() {
        if (ready_) {
            inflateEnd(&stream_);
        }
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // The inflater set to start a new stream, or nullptr when zlib could not make one.
    z_stream* fresh() {
        if (ready_ && inflateReset(&stream_) != Z_OK) {
            inflateEnd(&stream_);
            ready_ = false;
        }
        return ready_ ? &stream_ : nullptr;
    }

private:
    z_stream stream_{};
    bool ready_ = false;
};

} // namespace

std::optional<std::string> inflated(std::string_view data, std::size_t limit) {
    if (data.size() > std::numeric_limits<uInt>::max()) {
        return std::nullopt;
    }
    thread_local Inflater inflater;
    z_stream* const fresh = inflater.fresh();
    if (fresh == nullptr) {
        return std::nullopt;
    }
    z_stream& stream = *fresh;
    // zlib's interface is C's: it takes the input as non-const bytes and does not change them.
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    // Inflated into a buffer kept from call to call, then copied out once: growing a fresh
    // string would clear and first touch its memory for every stream.
    thread_local std::string buffer;
    std::size_t done = 0;
    int status = Z_OK;
    while (status == Z_OK && done < limit) {
        if (buffer.size() == done) {
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, 64 << 10));
        }
        const std::size_t room = std::min(limit - done, buffer.size() - done);
        stream.next_out = reinterpret_cast<Bytef*>(buffer.data() + done);
        stream.avail_out = static_cast<uInt>(std::min<std::size_t>(room, 1 << 30));
        const uInt offered = stream.avail_out;
        status = inflate(&stream, Z_NO_FLUSH);
        done += offered - stream.avail_out;
        if (status == Z_BUF_ERROR && stream.avail_out > 0) {
            break; // the input ended before the zlib stream did
        }
        if (status == Z_BUF_ERROR) {
            status = Z_OK; // the output was full: give it more room
        }
    }
    if (status != Z_STREAM_END) {
        return std::nullopt;
    }
    return buffer.substr(0, done);
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
