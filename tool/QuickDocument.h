#pragma once

#include "tool/CrossReference.h"
#include "tool/PdfSyntax.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

class InputSource;

namespace pdfinfodump {

// A file's bytes by offset: views into the file when it is all in memory, else copies read
// through qpdf's input source (the block cache).
class FileBytes {
public:
    explicit FileBytes(std::string_view whole)
        : whole_(whole), size_(static_cast<std::int64_t>(whole.size())) {}
    FileBytes(InputSource& source, std::int64_t size) : source_(&source), size_(size) {}

    std::int64_t size() const { return size_; }
    // The bytes from offset on: at least length of them or all that are left, valid until the
    // next call.
    std::string_view from(std::int64_t offset, std::size_t length);

private:
    std::string_view whole_;
    InputSource* source_ = nullptr;
    std::int64_t size_;
    std::string buffer_;
};

// The objects of a well-formed, unencrypted PDF, read as qpdf 11 reads them but only where
// asked: the cross-reference sections and the trailer when constructed, any other object when
// resolved, and of an object stream only the objects up to the one asked for. Throws
// GiveWayToQpdf at anything qpdf would read with a warning, a repair or otherwise
// differently, and at encryption.
class QuickDocument {
public:
    explicit QuickDocument(FileBytes& file);

    const PdfObject& trailer() const { return trailer_; }
    // The value itself, or the object a reference names (null when there is none). A stream
    // is its dictionary, with isStream set.
    const PdfObject& resolve(const PdfObject& value, bool* isStream = nullptr);
    // resolve() for a use that needs only the entries keys of a dictionary: one read from the
    // file holds only those, the others read past (the pages of a page tree, say, whose
    // resources and annotations the count does not need). Kept apart per list of keys, which
    // must outlive the document.
    const PdfObject& resolveKeeping(const PdfObject& value,
                                    const std::vector<std::string_view>& keys, bool* isStream);
    // The data of the stream a reference names, decoded; gives way beyond limit bytes.
    std::string streamData(const PdfObject& reference, std::size_t limit);

private:
    struct Stored {
        PdfObject value;
        bool isStream = false;
        std::int64_t dataAt = 0;
        std::int64_t dataLength = 0;
    };
    struct ObjectStream {
        std::string data;
        // Where each object starts in data, by object number.
        std::vector<std::pair<int, std::size_t>> offsets;
        // The objects up to this number are known to parse.
        int parsedThrough = std::numeric_limits<int>::min();
        // Set while data and offsets are not there (not yet, or let go): loaded when needed.
        bool released = true;
    };

    template <typename Parse> auto parseAt(std::int64_t offset, Parse parse);
    std::int64_t findStartxref();
    std::int64_t readTableSection(std::int64_t at, bool first);
    std::int64_t readStreamSection(std::int64_t at, bool first, CrossReference::Section& section);
    Stored readObjectAt(std::int64_t offset, int number, int generation,
                        const std::vector<std::string_view>* keep = nullptr);
    const Stored& stored(int number, int generation,
                         const std::vector<std::string_view>* keep = nullptr);
    // Decodes an object stream into into, with the offsets of its objects.
    void loadObjectStream(int streamNumber, ObjectStream& into);
    PdfObject objectFromStream(int streamNumber, int number,
                               const std::vector<std::string_view>* keep = nullptr);
    std::string decoded(const Stored& stream, std::size_t limit);
    // Notes the stream as used last, letting go of the data and offsets of the one used least
    // recently while the decoded streams kept take more than their share of memory.
    void keepDecoded(int streamNumber);
    std::int64_t resolvedInteger(const PdfObject* value);

    FileBytes& file_;
    CrossReference xref_;
    bool crossReferenceRead_ = false;
    PdfObject trailer_;
    std::map<std::pair<int, int>, Stored> objects_;
    // Dictionaries read with only some of their entries, for resolveKeeping() alone, by
    // object and the list of keys kept.
    std::map<std::tuple<int, int, const void*>, Stored> partialObjects_;
    std::set<std::pair<int, int>> resolving_;
    std::map<int, ObjectStream> objectStreams_;
    std::deque<int> decodedStreams_; // with their data, the one used last at the back
    std::size_t decodedBytes_ = 0;   // their data's size
};

} // namespace pdfinfodump
