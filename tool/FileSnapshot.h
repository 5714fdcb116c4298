#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

namespace pdfinfodump {

// A regular file opened for reading, taken as it was when opened: its size then is its size,
// and bytes are read with pread(), so that nothing another process does to the file can crash
// the reader. A file that no longer holds the bytes asked for (it shrank), that cannot be read,
// or whose size or modification time differ from those seen at the opening (unchanged()) is
// noted once in failure(), and every later read fails too: what was read may then mix two
// versions of the file.
class FileSnapshot {
public:
    // Opens path; only a regular file, so that a FIFO or a device cannot block the reader.
    // Nothing, with a one-line reason in error, when it cannot.
    static std::unique_ptr<FileSnapshot> open(const std::string& path, std::string& error);
    ~FileSnapshot();
    FileSnapshot(const FileSnapshot&) = delete;
    FileSnapshot& operator=(const FileSnapshot&) = delete;

    const std::string& path() const { return path_; }
    std::int64_t size() const { return size_; }

    // Reads the length bytes at offset, which must lie within size(). False when the file
    // does not give them all.
    bool readAt(std::int64_t offset, char* out, std::size_t length);
    // Reads the whole file of size() bytes into bytes.
    bool readAll(std::string& bytes);
    // Whether the file still has the size and modification time it had when opened.
    bool unchanged();
    // Why a read failed or the file changed, in one line; empty while neither happened.
    const std::string& failure() const { return failure_; }

private:
    FileSnapshot(int fd, std::string path, std::int64_t size, const timespec& modified);
    bool fail(std::string why);

    int fd_;
    std::string path_;
    std::int64_t size_;
    timespec modified_;
    std::string failure_;
};

} // namespace pdfinfodump
