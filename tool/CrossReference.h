#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pdfinfodump {

// Where each object of a file is, from its cross-reference sections, looked up one object at
// a time. qpdf reads every entry of every section into a table, the newest section first: an
// entry is kept only when no newer one named the same object and generation and no newer one
// freed the object; in a section with both a table and a stream (/XRefStm), the table's used
// entries come first, then the stream's, then the table's free ones. find() gives what that
// table would give for one object, reading only its entries.
class CrossReference {
public:
    struct Location {
        enum class Kind { Missing, InFile, InStream };
        Kind kind = Kind::Missing;
        // InFile: the object's offset; InStream: the number of its object stream.
        std::int64_t where = 0;
    };

    // Entries of a table: count of them from object first on, 20 bytes each from offset at,
    // checked already to be well-formed (tableEntryIsWellFormed).
    struct TableRun {
        int first = 0;
        int count = 0;
        std::int64_t at = 0;
    };

    // A cross-reference stream's decoded entries, each widths[0] + widths[1] + widths[2]
    // bytes, for the objects of ranges (first object, count) in order.
    struct StreamEntries {
        std::string data;
        std::array<int, 3> widths{};
        std::vector<std::pair<int, int>> ranges;
    };

    struct Section {
        std::vector<TableRun> table;
        std::optional<StreamEntries> stream;
    };

    // The 20 bytes of a table entry, read from the file.
    using ReadEntry = std::function<std::string_view(std::int64_t at)>;

    explicit CrossReference(ReadEntry readEntry) : readEntry_(std::move(readEntry)) {}

    // Adds a section older than those added before.
    void add(Section section) { sections_.push_back(std::move(section)); }

    Location find(int number, int generation) const;

    // Whether 20 bytes are a table entry in the standard form: 10 digits, a space, 5 digits, a
    // space, n or f, and two bytes of line end (" \n", " \r" or "\r\n").
    static bool tableEntryIsWellFormed(std::string_view entry);
    // Whether stream entries are all of types 0 to 2 with numbers qpdf can hold.
    static bool streamEntriesAreUsable(const StreamEntries& entries);

private:
    struct Entry {
        int type = 0; // 0 free, 1 in the file, 2 in an object stream
        std::int64_t field1 = 0;
        int generation = 0;
    };

    Entry tableEntry(const TableRun& run, int number) const;
    static Entry streamEntry(const StreamEntries& entries, std::size_t index);

    ReadEntry readEntry_;
    std::vector<Section> sections_;
};

} // namespace pdfinfodump
