#include "tool/BlockCacheSource.h"

#include <qpdf/QIntC.hh>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace pdfinfodump {

BlockCacheSource::BlockCacheSource(FileSnapshot& file, std::size_t blockSize,
                                   std::size_t cachedBlocks)
    : file_(file), size_(file.size()), blockSize_(std::max<std::size_t>(blockSize, 1)),
      cachedBlocks_(std::max<std::size_t>(cachedBlocks, 1)) {
    // Reserved, so that no block moves while a view of its bytes is in use.
    blocks_.reserve(cachedBlocks_);
}

BlockCacheSource::Block& BlockCacheSource::blockFor(qpdf_offset_t start) {
    if (current_ < blocks_.size() && blocks_[current_].start == start) {
        return blocks_[current_];
    }
    auto found = std::find_if(blocks_.begin(), blocks_.end(),
                              [&](const Block& block) { return block.start == start; });
    if (found == blocks_.end()) {
        if (blocks_.size() < cachedBlocks_) {
            blocks_.push_back({-1, 0, std::make_unique_for_overwrite<char[]>(blockSize_)});
            found = blocks_.end() - 1;
        } else {
            found = std::min_element(
                blocks_.begin(), blocks_.end(),
                [](const Block& a, const Block& b) { return a.lastUse < b.lastUse; });
        }
        const auto length = static_cast<std::size_t>(
            std::min<qpdf_offset_t>(static_cast<qpdf_offset_t>(blockSize_), size_ - start));
        found->start = -1;
        if (!file_.readAt(start, found->bytes.get(), length)) {
            throw std::runtime_error(file_.failure());
        }
        found->start = start;
        ++blocksRead_;
    }
    found->lastUse = ++clock_;
    current_ = static_cast<std::size_t>(found - blocks_.begin());
    return *found;
}

std::string_view BlockCacheSource::bytesAt(qpdf_offset_t offset) {
    // A file that failed once is read no further: what follows could come from another version.
    if (!file_.failure().empty()) {
        throw std::runtime_error(file_.failure());
    }
    const auto blockSize = static_cast<qpdf_offset_t>(blockSize_);
    const qpdf_offset_t start = offset - offset % blockSize;
    const Block& block = blockFor(start);
    const auto length = std::min(blockSize, size_ - start);
    return std::string_view(block.bytes.get() + (offset - start),
                            static_cast<std::size_t>(length - (offset - start)));
}

// As qpdf's own buffer source does, so that a file reads the same whichever source is used:
// a seek before the start moves there and throws, and reading there throws again.
void BlockCacheSource::seek(qpdf_offset_t offset, int whence) {
    switch (whence) {
    case SEEK_SET:
        position_ = offset;
        break;
    case SEEK_CUR:
        QIntC::range_check(position_, offset);
        position_ += offset;
        break;
    case SEEK_END:
        QIntC::range_check(size_, offset);
        position_ = size_ + offset;
        break;
    default:
        throw std::logic_error("invalid whence for BlockCacheSource::seek");
    }
    if (position_ < 0) {
        throw std::runtime_error(getName() + ": seek before beginning of file");
    }
}

void BlockCacheSource::checkPosition() const {
    if (position_ < 0) {
        throw std::logic_error("BlockCacheSource read before the beginning of the file");
    }
}

std::size_t BlockCacheSource::read(char* out, std::size_t length) {
    checkPosition();
    if (position_ >= size_) {
        last_offset = size_;
        return 0;
    }
    last_offset = position_;
    std::size_t done = 0;
    while (done < length && position_ < size_) {
        const std::string_view bytes = bytesAt(position_);
        const std::size_t count = std::min(length - done, bytes.size());
        std::memcpy(out + done, bytes.data(), count);
        done += count;
        position_ += static_cast<qpdf_offset_t>(count);
    }
    return done;
}

qpdf_offset_t BlockCacheSource::findAndSkipNextEOL() {
    checkPosition();
    if (position_ >= size_) {
        last_offset = size_;
        position_ = size_;
        return size_;
    }
    const auto isEol = [](char c) { return c == '\r' || c == '\n'; };
    qpdf_offset_t eol = size_;
    for (qpdf_offset_t at = position_; at < size_;) {
        const std::string_view bytes = bytesAt(at);
        const auto found = std::find_if(bytes.begin(), bytes.end(), isEol);
        if (found != bytes.end()) {
            eol = at + (found - bytes.begin());
            break;
        }
        at += static_cast<qpdf_offset_t>(bytes.size());
    }
    if (eol >= size_) {
        position_ = size_;
        return size_;
    }
    position_ = eol + 1;
    while (position_ < size_ && isEol(bytesAt(position_).front())) {
        ++position_;
    }
    return eol;
}

void BlockCacheSource::unreadCh(char) {
    if (position_ > 0) {
        --position_;
    }
}

} // namespace pdfinfodump
