#pragma once

#include "tool/FileSnapshot.h"

#include <qpdf/InputSource.hh>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pdfinfodump {

// qpdf's input over a file, read in aligned blocks of blockSize bytes with one pread() each
// and kept in a cache of up to cachedBlocks blocks (the least recently used one is replaced).
// qpdf seeks back and forth and reads a few bytes at a time; within the cached blocks that
// costs no system call, and only the blocks qpdf touches are read. The file is taken to be
// file.size() bytes long, as a buffer of that size would be: reading past the end gives
// nothing. A block the file cannot give in full (it shrank, or a read error) throws, as does
// every read after it; since qpdf turns some exceptions into warnings, the reader learns of
// it from file.failure().
class BlockCacheSource final : public InputSource {
public:
    BlockCacheSource(FileSnapshot& file, std::size_t blockSize, std::size_t cachedBlocks);

    qpdf_offset_t findAndSkipNextEOL() override;
    std::string const& getName() const override { return file_.path(); }
    qpdf_offset_t tell() override { return position_; }
    void seek(qpdf_offset_t offset, int whence) override;
    void rewind() override { position_ = 0; }
    std::size_t read(char* out, std::size_t length) override;
    void unreadCh(char ch) override;

    // How many blocks were read from the file so far (the same block again counts again).
    std::uint64_t blocksRead() const { return blocksRead_; }

private:
    struct Block {
        qpdf_offset_t start = -1; // -1: holds nothing
        std::uint64_t lastUse = 0;
        std::unique_ptr<char[]> bytes;
    };

    // The bytes from offset, which lies within the file, to the end of its block.
    std::string_view bytesAt(qpdf_offset_t offset);
    Block& blockFor(qpdf_offset_t start);
    void checkPosition() const;

    FileSnapshot& file_;
    const qpdf_offset_t size_;
    const std::size_t blockSize_;
    const std::size_t cachedBlocks_;
    std::vector<Block> blocks_;
    std::size_t current_ = 0; // the block used last, checked first
    std::uint64_t clock_ = 0;
    std::uint64_t blocksRead_ = 0;
    qpdf_offset_t position_ = 0;
};

} // namespace pdfinfodump
