#include "tool/RequestInput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace pdfinfodump {

RequestInput::RequestInput(int fd) : fd_(fd), buffer_(std::size_t{64} << 10) {}

bool RequestInput::fill() {
    if (start_ == end_) {
        start_ = end_ = 0;
    } else if (end_ == buffer_.size()) {
        std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
        end_ -= start_;
        start_ = 0;
    }
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
        if (got > 0) {
            end_ += static_cast<std::size_t>(got);
            return true;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        error_ = got < 0 ? errno : 0;
        return false;
    }
}

RequestInput::Result RequestInput::readLine(std::string& line, std::size_t maxBytes) {
    line.clear();
    for (;;) {
        const char* const begin = buffer_.data() + start_;
        const char* const stop = buffer_.data() + end_;
        const char* const lineFeed = std::find(begin, stop, '\n');
        const std::size_t before = static_cast<std::size_t>(lineFeed - begin);
        if (line.size() + before > maxBytes) {
            return Result::TooLong;
        }
        line.append(begin, before);
        if (lineFeed != stop) {
            start_ += before + 1;
            return Result::Read;
        }
        start_ = end_;
        if (!fill()) {
            if (error_ != 0) {
                return Result::Failed;
            }
            return line.empty() ? Result::End : Result::Cut;
        }
    }
}

RequestInput::Result RequestInput::readBytes(std::size_t count, std::string& bytes) {
    bytes.clear();
    while (bytes.size() < count) {
        if (start_ == end_ && !fill()) {
            if (error_ != 0) {
                return Result::Failed;
            }
            return bytes.empty() ? Result::End : Result::Cut;
        }
        const std::size_t take = std::min(count - bytes.size(), end_ - start_);
        bytes.append(buffer_.data() + start_, take);
        start_ += take;
    }
    return Result::Read;
}

} // namespace pdfinfodump
