#include "tool/CrossReference.h"

#include <limits>

namespace pdfinfodump {
namespace {

constexpr std::int64_t largestInt = std::numeric_limits<int>::max();

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::int64_t digitsValue(std::string_view digits) {
    std::int64_t value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
    }
    return value;
}

std::size_t entrySize(const CrossReference::StreamEntries& entries) {
    return static_cast<std::size_t>(entries.widths[0] + entries.widths[1] + entries.widths[2]);
}

std::size_t entryCount(const CrossReference::StreamEntries& entries) {
    std::size_t count = 0;
    for (const auto& range : entries.ranges) {
        count += static_cast<std::size_t>(range.second);
    }
    return count;
}

} // namespace

bool CrossReference::tableEntryIsWellFormed(std::string_view entry) {
    if (entry.size() != 20) {
        return false;
    }
    // Checked byte by byte: a large file's table has tens of thousands of entries.
    for (std::size_t i = 0; i < 16; ++i) {
        if (i != 10 && !isDigit(entry[i])) {
            return false;
        }
    }
    const char end0 = entry[18];
    const char end1 = entry[19];
    return entry[10] == ' ' && entry[16] == ' ' && (entry[17] == 'n' || entry[17] == 'f') &&
           ((end0 == ' ' && (end1 == '\n' || end1 == '\r')) || (end0 == '\r' && end1 == '\n'));
}

CrossReference::Entry CrossReference::tableEntry(const TableRun& run, int number) const {
    const std::string_view text = readEntry_(run.at + 20 * std::int64_t{number - run.first});
    Entry entry;
    entry.type = text[17] == 'n' ? 1 : 0;
    entry.field1 = digitsValue(text.substr(0, 10));
    entry.generation = static_cast<int>(digitsValue(text.substr(11, 5)));
    return entry;
}

CrossReference::Entry CrossReference::streamEntry(const StreamEntries& entries, std::size_t index) {
    std::array<std::uint64_t, 3> fields{};
    std::size_t at = index * entrySize(entries);
    for (std::size_t field = 0; field < 3; ++field) {
        for (int byte = 0; byte < entries.widths[field]; ++byte) {
            fields[field] = fields[field] << 8 | static_cast<unsigned char>(entries.data[at++]);
        }
    }
    Entry entry;
    entry.type = entries.widths[0] == 0 ? 1 : static_cast<int>(fields[0]);
    entry.field1 = static_cast<std::int64_t>(fields[1]);
    // qpdf ignores the third field of a free entry.
    entry.generation = entry.type == 0 ? 0 : static_cast<int>(fields[2]);
    return entry;
}

bool CrossReference::streamEntriesAreUsable(const StreamEntries& entries) {
    const std::size_t size = entrySize(entries);
    if (size == 0 || entries.data.size() / size < entryCount(entries)) {
        return false;
    }
    // Fields of up to 3 bytes cannot exceed the largest object number: with such widths (most
    // files') only the types need a look, one byte each.
    if (entries.widths[1] <= 3 && entries.widths[2] <= 3 && entries.widths[0] <= 1) {
        if (entries.widths[0] == 0) {
            return true;
        }
        for (std::size_t at = 0, i = 0; i < entryCount(entries); ++i, at += size) {
            if (static_cast<unsigned char>(entries.data[at]) > 2) {
                return false;
            }
        }
        return true;
    }
    for (std::size_t i = 0; i < entryCount(entries); ++i) {
        std::array<std::uint64_t, 3> fields{};
        std::size_t at = i * size;
        for (std::size_t field = 0; field < 3; ++field) {
            for (int byte = 0; byte < entries.widths[field]; ++byte) {
                fields[field] = fields[field] << 8 | static_cast<unsigned char>(entries.data[at++]);
            }
        }
        const std::uint64_t type = entries.widths[0] == 0 ? 1 : fields[0];
        if (type > 2 || (type != 0 && fields[2] > largestInt) ||
            (type == 1 && fields[1] > std::uint64_t{std::numeric_limits<std::int64_t>::max()}) ||
            (type == 2 && fields[1] > largestInt)) {
            return false;
        }
    }
    return true;
}

CrossReference::Location CrossReference::find(int number, int generation) const {
    // The generations of the object qpdf's table would hold so far, and whether it was freed.
    std::vector<std::pair<int, Location>> registered;
    bool freed = false;
    std::optional<Location> found;
    // Offers an entry as qpdf inserts it; true once the answer can no longer change.
    const auto offer = [&](const Entry& entry) {
        const int entryGeneration = entry.type == 2 ? 0 : entry.generation;
        for (const auto& held : registered) {
            if (held.first == entryGeneration) {
                return false;
            }
        }
        if (freed) {
            return true;
        }
        if (entry.type == 0) {
            freed = true;
            return true;
        }
        const Location location{entry.type == 1 ? Location::Kind::InFile : Location::Kind::InStream,
                                entry.field1};
        registered.emplace_back(entryGeneration, location);
        if (entryGeneration == generation) {
            found = location;
            return true;
        }
        return false;
    };
    const auto offerTable = [&](const Section& section, bool used) {
        for (const TableRun& run : section.table) {
            if (number >= run.first && number - run.first < run.count) {
                const Entry entry = tableEntry(run, number);
                if ((entry.type == 1) == used && offer(entry)) {
                    return true;
                }
            }
        }
        return false;
    };
    const auto offerStream = [&](const StreamEntries& entries) {
        std::size_t index = 0;
        for (const auto& [first, count] : entries.ranges) {
            if (number >= first && number - first < count) {
                if (offer(streamEntry(entries, index + static_cast<std::size_t>(number - first)))) {
                    return true;
                }
            }
            index += static_cast<std::size_t>(count);
        }
        return false;
    };
    for (const Section& section : sections_) {
        if (offerTable(section, true) || (section.stream && offerStream(*section.stream)) ||
            offerTable(section, false)) {
            break;
        }
    }
    return found.value_or(Location{});
}

} // namespace pdfinfodump
