#include "tool/QuickDocument.h"

#include "tool/FlateDecoding.h"

#include <qpdf/InputSource.hh>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace pdfinfodump {
namespace {

using Kind = PdfObject::Kind;

constexpr std::int64_t largestInt = std::numeric_limits<int>::max();
// Objects are parsed from a window of the file that grows until they fit, up to this.
constexpr std::size_t firstWindow = 1024;
constexpr std::size_t largestWindow = std::size_t{16} << 20;
// Beyond these, a file is left to qpdf.
constexpr std::size_t largestXrefStream = std::size_t{64} << 20;
constexpr std::size_t largestObjectStream = std::size_t{32} << 20;
constexpr std::int64_t mostObjectsInStream = 1'000'000;
// The decoded object streams kept at once, in bytes. A walk through a large file's pages
// meets the streams again and again, out of order; decoding one again costs more than keeping
// it, but keeping all of a huge file's would hold its whole objects decoded.
constexpr std::size_t decodedBytesKept = std::size_t{16} << 20;
// qpdf looks for startxref this far from the end.
constexpr std::int64_t startxrefWindow = 1054;
// qpdf reads a subsection header from this many bytes.
constexpr std::size_t subsectionHeaderBytes = 50;

[[noreturn]] void giveWay(const char* why) {
    throw GiveWayToQpdf(why);
}

const PdfObject& null() {
    static const PdfObject object;
    return object;
}

// White space as qpdf's QUtil::is_space() sees it, which reads the cross-reference tables.
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A value read directly, as qpdf needs some while it reads the cross-reference.
const PdfObject* direct(const PdfObject& dictionary, std::string_view key) {
    const PdfObject* value = dictionary.find(key);
    if (value && value->is(Kind::Reference)) {
        giveWay("indirect value in cross-reference data");
    }
    return value && !value->is(Kind::Null) ? value : nullptr;
}

std::int64_t directInteger(const PdfObject& dictionary, std::string_view key) {
    const PdfObject* value = direct(dictionary, key);
    if (!value || !value->is(Kind::Integer)) {
        giveWay("missing integer in cross-reference data");
    }
    return value->number;
}

// A subsection header as qpdf's parse_xrefFirst() reads it: digits, white space, digits and
// white space; the number of bytes it takes.
std::size_t subsectionHeader(std::string_view line, std::int64_t& first, std::int64_t& count) {
    line = line.substr(0, subsectionHeaderBytes);
    std::size_t at = 0;
    const auto skipSpace = [&] {
        while (at < line.size() && isSpace(line[at])) {
            ++at;
        }
    };
    const auto number = [&](std::int64_t& value) {
        const std::size_t start = at;
        value = 0;
        while (at < line.size() && isDigit(line[at])) {
            value = value * 10 + (line[at++] - '0');
            if (value > largestInt) {
                giveWay("subsection number out of range");
            }
        }
        if (at == start) {
            giveWay("invalid subsection header");
        }
    };
    skipSpace();
    number(first);
    if (at >= line.size() || !isSpace(line[at])) {
        giveWay("invalid subsection header");
    }
    skipSpace();
    number(count);
    skipSpace();
    // qpdf's line ends after these bytes; white space up to it would be read differently.
    if (at >= line.size()) {
        giveWay("subsection header too long");
    }
    return at;
}

} // namespace

std::string_view FileBytes::from(std::int64_t offset, std::size_t length) {
    if (offset < 0 || offset > size_) {
        return {};
    }
    if (!source_) {
        return whole_.substr(static_cast<std::size_t>(offset));
    }
    length = std::min(length, static_cast<std::size_t>(size_ - offset));
    // The buffer only grows: setting its size again for every read would clear it each time.
    if (buffer_.size() < length) {
        buffer_.resize(length);
    }
    source_->seek(offset, SEEK_SET);
    std::size_t done = 0;
    while (done < length) {
        const std::size_t got = source_->read(buffer_.data() + done, length - done);
        if (got == 0) {
            break;
        }
        done += got;
    }
    return std::string_view(buffer_.data(), done);
}

template <typename Parse> auto QuickDocument::parseAt(std::int64_t offset, Parse parse) {
    if (offset < 0 || offset >= file_.size()) {
        giveWay("offset outside the file");
    }
    for (std::size_t window = firstWindow;; window *= 8) {
        const std::string_view bytes = file_.from(offset, window);
        const bool complete = offset + static_cast<std::int64_t>(bytes.size()) >= file_.size();
        try {
            PdfParser parser(bytes, complete);
            return parse(parser);
        } catch (const NeedMoreBytes&) {
            if (window >= largestWindow) {
                giveWay("object too large");
            }
        }
    }
}

QuickDocument::QuickDocument(FileBytes& file)
    : file_(file), xref_([this](std::int64_t at) { return file_.from(at, 20).substr(0, 20); }) {
    // qpdf takes offsets from the header when it is not at the start.
    const std::string_view header = file_.from(0, 16);
    if (header.substr(0, 5) != "%PDF-" || header.size() < 8 || !isDigit(header[5])) {
        giveWay("no header at the start");
    }
    std::size_t at = 5;
    while (at < header.size() && isDigit(header[at])) {
        ++at;
    }
    if (at + 1 >= header.size() || header[at] != '.' || !isDigit(header[at + 1])) {
        giveWay("no version in the header");
    }

    std::int64_t offset = findStartxref();
    std::set<std::int64_t> visited;
    for (bool first = true; offset != 0; first = false) {
        if (offset < 0 || offset >= file_.size()) {
            giveWay("cross-reference offset outside the file");
        }
        visited.insert(offset);
        const std::string_view start = file_.from(offset, 64);
        std::size_t skip = 0;
        while (skip < start.size() && isSpace(start[skip])) {
            ++skip;
        }
        std::int64_t next = 0;
        if (start.substr(skip, 4) == "xref" && skip + 4 < start.size() &&
            isSpace(start[skip + 4])) {
            if (skip > 0) {
                // qpdf reads past it with a warning, and may then read the table otherwise.
                giveWay("white space before xref");
            }
            next = readTableSection(offset + static_cast<std::int64_t>(skip) + 4, first);
        } else {
            CrossReference::Section section;
            next = readStreamSection(offset, first, section);
            xref_.add(std::move(section));
        }
        if (visited.count(next) != 0) {
            giveWay("cross-reference loop");
        }
        offset = next;
    }
    if (trailer_.find("Encrypt")) {
        giveWay("encrypted");
    }
    crossReferenceRead_ = true;
}

std::int64_t QuickDocument::findStartxref() {
    const std::int64_t start = std::max<std::int64_t>(file_.size() - startxrefWindow, 0);
    const std::string tail(file_.from(start, static_cast<std::size_t>(file_.size() - start)));
    // The last "startxref" followed by an integer, as qpdf finds it.
    for (std::size_t at = tail.rfind("startxref"); at != std::string::npos;
         at = at == 0 ? std::string::npos : tail.rfind("startxref", at - 1)) {
        PdfParser parser(std::string_view(tail).substr(at), true);
        std::int64_t offset = 0;
        if (parser.takeKeyword("startxref") && parser.takeInteger(offset)) {
            if (offset <= 0) {
                giveWay("no startxref");
            }
            return offset;
        }
    }
    giveWay("no startxref");
}

std::int64_t QuickDocument::readTableSection(std::int64_t at, bool first) {
    CrossReference::Section section;
    std::int64_t position = at;
    while (true) {
        std::int64_t number = 0;
        std::int64_t count = 0;
        const std::size_t headerBytes =
            subsectionHeader(file_.from(position, subsectionHeaderBytes), number, count);
        if (count > 0 && number + count - 1 > largestInt) {
            giveWay("subsection beyond the largest object number");
        }
        const std::int64_t entriesAt = position + static_cast<std::int64_t>(headerBytes);
        const auto bytes = static_cast<std::size_t>(count) * 20;
        if (entriesAt + static_cast<std::int64_t>(bytes) > file_.size()) {
            giveWay("subsection beyond the end of the file");
        }
        const std::string_view entries = file_.from(entriesAt, bytes);
        for (std::size_t entry = 0; entry < bytes; entry += 20) {
            if (!CrossReference::tableEntryIsWellFormed(entries.substr(entry, 20))) {
                giveWay("cross-reference entry not in the standard form");
            }
        }
        section.table.push_back({static_cast<int>(number), static_cast<int>(count), entriesAt});
        position = entriesAt + static_cast<std::int64_t>(bytes);
        if (parseAt(position, [](PdfParser& parser) { return parser.takeKeyword("trailer"); })) {
            break;
        }
    }
    const PdfObject trailer = parseAt(position, [](PdfParser& parser) {
        parser.takeKeyword("trailer");
        PdfObject dictionary = parser.readObject();
        if (!dictionary.is(Kind::Dictionary) || parser.takeKeyword("stream")) {
            giveWay("trailer is no dictionary");
        }
        return dictionary;
    });
    if (first) {
        directInteger(trailer, "Size");
        trailer_ = trailer;
    }
    if (direct(trailer, "XRefStm")) {
        CrossReference::Section streamSection;
        readStreamSection(directInteger(trailer, "XRefStm"), false, streamSection);
        section.stream = std::move(streamSection.stream);
    }
    xref_.add(std::move(section));
    return direct(trailer, "Prev") ? directInteger(trailer, "Prev") : 0;
}

std::int64_t QuickDocument::readStreamSection(std::int64_t at, bool first,
                                              CrossReference::Section& section) {
    const Stored stream = readObjectAt(at, 0, 0);
    const PdfObject& dictionary = stream.value;
    const PdfObject* type = direct(dictionary, "Type");
    if (!stream.isStream || !type || !type->is(Kind::Name) || type->bytes != "XRef") {
        giveWay("no cross-reference stream");
    }
    CrossReference::StreamEntries entries;
    const PdfObject* widths = direct(dictionary, "W");
    if (!widths || !widths->is(Kind::Array) || widths->values.size() < 3) {
        giveWay("cross-reference stream without /W");
    }
    std::size_t entrySize = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const PdfObject& width = widths->values[i];
        if (!width.is(Kind::Integer) || width.number < 0 || width.number > 8) {
            giveWay("cross-reference stream with odd /W");
        }
        entries.widths[i] = static_cast<int>(width.number);
        entrySize += static_cast<std::size_t>(width.number);
    }
    const std::int64_t size = directInteger(dictionary, "Size");
    std::vector<std::int64_t> index{0, size};
    if (const PdfObject* given = direct(dictionary, "Index")) {
        if (!given->is(Kind::Array) || given->values.empty() || given->values.size() % 2 != 0) {
            giveWay("cross-reference stream with odd /Index");
        }
        index.clear();
        for (const PdfObject& item : given->values) {
            if (!item.is(Kind::Integer)) {
                giveWay("cross-reference stream with odd /Index");
            }
            index.push_back(item.number);
        }
    }
    std::size_t count = 0;
    for (std::size_t i = 0; i < index.size(); i += 2) {
        // qpdf misplaces the entries after an empty range.
        if (index[i] < 0 || index[i + 1] <= 0 || index[i] + index[i + 1] - 1 > largestInt) {
            giveWay("cross-reference stream with odd /Index");
        }
        entries.ranges.emplace_back(static_cast<int>(index[i]), static_cast<int>(index[i + 1]));
        count += static_cast<std::size_t>(index[i + 1]);
    }
    if (entrySize == 0 || count > largestXrefStream / entrySize) {
        giveWay("cross-reference stream too large");
    }
    entries.data = decoded(stream, largestXrefStream);
    // qpdf reads data longer than the entries with a warning only.
    if (!CrossReference::streamEntriesAreUsable(entries)) {
        giveWay("cross-reference stream entries qpdf reads otherwise");
    }
    if (first) {
        trailer_ = dictionary;
    }
    section.stream = std::move(entries);
    return direct(dictionary, "Prev") ? directInteger(dictionary, "Prev") : 0;
}

QuickDocument::Stored QuickDocument::readObjectAt(std::int64_t offset, int number, int generation,
                                                  const std::vector<std::string_view>* keep) {
    // number 0: a cross-reference stream, whichever object it is.
    Stored object = parseAt(offset, [&](PdfParser& parser) {
        std::int64_t readNumber = 0;
        std::int64_t readGeneration = 0;
        if (!parser.takeInteger(readNumber) || !parser.takeInteger(readGeneration) ||
            !parser.takeKeyword("obj") || readNumber <= 0 || readNumber > largestInt ||
            readGeneration < 0 || readGeneration > largestInt ||
            (number != 0 && (readNumber != number || readGeneration != generation))) {
            giveWay("expected N G obj");
        }
        Stored read;
        read.value = parser.readObject(keep);
        if (read.value.is(Kind::Dictionary) && parser.takeKeyword("stream")) {
            if (!parser.takeStreamLineEnd()) {
                giveWay("stream keyword without a line end");
            }
            read.isStream = true;
            read.dataAt = offset + static_cast<std::int64_t>(parser.position());
        } else {
            parser.readObjectEnd();
        }
        return read;
    });
    if (!object.isStream) {
        return object;
    }
    if (keep) {
        // Its /Length may be among the entries not kept; no use needs part of a stream.
        giveWay("stream read in part");
    }
    const PdfObject* length = object.value.find("Length");
    // While the cross-reference is read, qpdf cannot resolve a reference.
    object.dataLength =
        number == 0 ? directInteger(object.value, "Length") : resolvedInteger(length);
    if (object.dataLength < 0 || object.dataLength > file_.size() - object.dataAt) {
        giveWay("stream length outside the file");
    }
    parseAt(object.dataAt + object.dataLength, [](PdfParser& parser) {
        if (!parser.takeKeyword("endstream")) {
            giveWay("stream length wrong");
        }
        parser.readObjectEnd();
        return 0;
    });
    return object;
}

std::int64_t QuickDocument::resolvedInteger(const PdfObject* value) {
    const PdfObject& resolved = value ? resolve(*value) : null();
    if (!resolved.is(Kind::Integer)) {
        giveWay("expected an integer");
    }
    return resolved.number;
}

const QuickDocument::Stored& QuickDocument::stored(int number, int generation,
                                                   const std::vector<std::string_view>* keep) {
    if (!crossReferenceRead_) {
        // qpdf would resolve it from the part of the cross-reference read so far.
        giveWay("reference in cross-reference data");
    }
    const auto key = std::make_pair(number, generation);
    if (const auto found = objects_.find(key); found != objects_.end()) {
        return found->second;
    }
    const auto partialKey = std::make_tuple(number, generation, static_cast<const void*>(keep));
    if (const auto found = partialObjects_.find(partialKey);
        keep && found != partialObjects_.end()) {
        return found->second;
    }
    if (!resolving_.insert(key).second) {
        giveWay("object refers to itself");
    }
    struct Done {
        std::set<std::pair<int, int>>& resolving;
        std::pair<int, int> key;
        ~Done() { resolving.erase(key); }
    } done{resolving_, key};
    Stored object;
    const CrossReference::Location location = xref_.find(number, generation);
    switch (location.kind) {
    case CrossReference::Location::Kind::Missing:
        // qpdf reads an object the cross-reference lacks as null.
        break;
    case CrossReference::Location::Kind::InFile:
        object = readObjectAt(location.where, number, generation, keep);
        if (keep) {
            return partialObjects_.emplace(partialKey, std::move(object)).first->second;
        }
        break;
    case CrossReference::Location::Kind::InStream:
        object.value = objectFromStream(static_cast<int>(location.where), number, keep);
        if (keep) {
            return partialObjects_.emplace(partialKey, std::move(object)).first->second;
        }
        break;
    }
    return objects_.emplace(key, std::move(object)).first->second;
}

const PdfObject& QuickDocument::resolve(const PdfObject& value, bool* isStream) {
    if (isStream) {
        *isStream = false;
    }
    if (!value.is(Kind::Reference)) {
        return value;
    }
    const Stored& object = stored(static_cast<int>(value.number), value.generation);
    if (isStream) {
        *isStream = object.isStream;
    }
    return object.value;
}

const PdfObject& QuickDocument::resolveKeeping(const PdfObject& value,
                                               const std::vector<std::string_view>& keys,
                                               bool* isStream) {
    *isStream = false;
    if (!value.is(Kind::Reference)) {
        return value;
    }
    const Stored& object = stored(static_cast<int>(value.number), value.generation, &keys);
    *isStream = object.isStream;
    return object.value;
}

void QuickDocument::loadObjectStream(int streamNumber, ObjectStream& into) {
    const Stored& stream = stored(streamNumber, 0);
    const PdfObject* type = stream.value.find("Type");
    const PdfObject& typeName = type ? resolve(*type) : null();
    if (!stream.isStream || !typeName.is(Kind::Name) || typeName.bytes != "ObjStm") {
        giveWay("no object stream");
    }
    const std::int64_t count = resolvedInteger(stream.value.find("N"));
    const std::int64_t first = resolvedInteger(stream.value.find("First"));
    if (count < 0 || count > mostObjectsInStream || first < 0 || first > largestInt) {
        giveWay("object stream with odd /N or /First");
    }
    into.data = decoded(stream, largestObjectStream);
    into.offsets.clear();
    into.offsets.reserve(static_cast<std::size_t>(count));
    PdfParser header(into.data, true);
    for (std::int64_t i = 0; i < count; ++i) {
        std::int64_t object = 0;
        std::int64_t offset = 0;
        if (!header.takeInteger(object) || !header.takeInteger(offset) ||
            object < std::numeric_limits<int>::min() || object > largestInt || offset < 0 ||
            offset + first > largestInt) {
            giveWay("object stream header qpdf reads otherwise");
        }
        into.offsets.emplace_back(static_cast<int>(object),
                                  static_cast<std::size_t>(offset + first));
    }
    // qpdf reads every pair of the header first; a later pair for a number wins.
    std::stable_sort(into.offsets.begin(), into.offsets.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const auto sameNumber = [](const auto& a, const auto& b) { return a.first == b.first; };
    std::reverse(into.offsets.begin(), into.offsets.end());
    into.offsets.erase(std::unique(into.offsets.begin(), into.offsets.end(), sameNumber),
                       into.offsets.end());
    std::reverse(into.offsets.begin(), into.offsets.end());
    into.released = false;
}

PdfObject QuickDocument::objectFromStream(int streamNumber, int number,
                                          const std::vector<std::string_view>* keep) {
    ObjectStream& stream = objectStreams_[streamNumber];
    if (stream.released) {
        loadObjectStream(streamNumber, stream);
    }
    keepDecoded(streamNumber);
    const auto byNumber = [](const std::pair<int, std::size_t>& entry, int wanted) {
        return entry.first < wanted;
    };
    const auto wanted =
        std::lower_bound(stream.offsets.begin(), stream.offsets.end(), number, byNumber);
    if (wanted == stream.offsets.end() || wanted->first != number) {
        giveWay("object not in its object stream");
    }
    // qpdf parses the objects of a stream in the order of their numbers, and one it cannot
    // parse leaves those after it unread: those before this one must parse too. They are only
    // checked here; each is built when it is asked for (stored() keeps it then).
    if (number > stream.parsedThrough) {
        for (auto at = std::upper_bound(stream.offsets.begin(), wanted, stream.parsedThrough,
                                        [](int parsed, const std::pair<int, std::size_t>&entry) {
                                            return parsed < entry.first;
                                        });
             at != wanted; ++at) {
            if (at->second > stream.data.size()) {
                giveWay("object outside its object stream");
            }
            PdfParser parser(stream.data, true);
            parser.seek(at->second);
            parser.skipObject();
            stream.parsedThrough = at->first;
        }
    }
    if (wanted->second > stream.data.size()) {
        giveWay("object outside its object stream");
    }
    PdfParser parser(stream.data, true);
    parser.seek(wanted->second);
    PdfObject object = parser.readObject(keep);
    stream.parsedThrough = std::max(stream.parsedThrough, number);
    return object;
}

void QuickDocument::keepDecoded(int streamNumber) {
    if (!decodedStreams_.empty() && decodedStreams_.back() == streamNumber) {
        return;
    }
    const auto kept = std::find(decodedStreams_.begin(), decodedStreams_.end(), streamNumber);
    if (kept != decodedStreams_.end()) {
        decodedStreams_.erase(kept);
    }
    if (kept == decodedStreams_.end()) {
        decodedBytes_ += objectStreams_.at(streamNumber).data.size();
    }
    decodedStreams_.push_back(streamNumber);
    // The stream in use stays, however large.
    while (decodedBytes_ > decodedBytesKept && decodedStreams_.size() > 1) {
        ObjectStream& oldest = objectStreams_.at(decodedStreams_.front());
        decodedBytes_ -= oldest.data.size();
        std::string().swap(oldest.data);
        std::vector<std::pair<int, std::size_t>>().swap(oldest.offsets);
        oldest.released = true;
        decodedStreams_.pop_front();
    }
}

std::string QuickDocument::decoded(const Stored& stream, std::size_t limit) {
    const PdfObject& dictionary = stream.value;
    if (dictionary.find("F")) {
        giveWay("stream data in another file");
    }
    const PdfObject* filterValue = dictionary.find("Filter");
    const PdfObject& filters = filterValue ? resolve(*filterValue) : null();
    const PdfObject* parmsValue = dictionary.find("DecodeParms");
    const PdfObject* parms = parmsValue ? &resolve(*parmsValue) : nullptr;
    bool flate = false;
    if (filters.is(Kind::Name) || (filters.is(Kind::Array) && filters.values.size() == 1)) {
        const PdfObject& name = filters.is(Kind::Name) ? filters : resolve(filters.values[0]);
        if (!name.is(Kind::Name) || name.bytes != "FlateDecode") {
            giveWay("filter other than FlateDecode");
        }
        flate = true;
        if (parms && parms->is(Kind::Array)) {
            if (parms->values.size() != 1) {
                giveWay("odd /DecodeParms");
            }
            parms = &resolve(parms->values[0]);
        }
    } else if (!filters.is(Kind::Null) && !(filters.is(Kind::Array) && filters.values.empty())) {
        giveWay("filters other than FlateDecode");
    }
    if (parms && parms->is(Kind::Null)) {
        parms = nullptr;
    }
    if (parms && (!flate || !parms->is(Kind::Dictionary))) {
        giveWay("odd /DecodeParms");
    }
    const auto parameter = [&](std::string_view key, std::int64_t fallback) {
        const PdfObject* value = parms ? parms->find(key) : nullptr;
        const PdfObject& resolved = value ? resolve(*value) : null();
        if (resolved.is(Kind::Null)) {
            return fallback;
        }
        if (!resolved.is(Kind::Integer)) {
            giveWay("odd /DecodeParms");
        }
        return resolved.number;
    };
    const std::int64_t predictor = parameter("Predictor", 1);
    const std::int64_t columns = parameter("Columns", 0);
    const bool png = predictor >= 10 && predictor <= 15;
    if ((predictor != 1 && !png) || parameter("Colors", 1) != 1 ||
        parameter("BitsPerComponent", 8) != 8 || (png && (columns <= 0 || columns > 4096))) {
        giveWay("predictor other than PNG of 8-bit samples");
    }

    const std::string_view raw =
        file_.from(stream.dataAt, static_cast<std::size_t>(stream.dataLength))
            .substr(0, static_cast<std::size_t>(stream.dataLength));
    if (raw.size() != static_cast<std::size_t>(stream.dataLength)) {
        giveWay("stream data outside the file");
    }
    if (!flate) {
        if (raw.size() > limit) {
            giveWay("stream data too large");
        }
        return std::string(raw);
    }
    std::optional<std::string> data = inflated(raw, limit);
    if (data && png) {
        data = withoutPngPrediction(*data, static_cast<std::size_t>(columns));
    }
    if (!data) {
        giveWay("stream data qpdf decodes otherwise");
    }
    return std::move(*data);
}

std::string QuickDocument::streamData(const PdfObject& value, std::size_t limit) {
    if (!value.is(Kind::Reference)) {
        giveWay("no stream");
    }
    const Stored& stream = stored(static_cast<int>(value.number), value.generation);
    if (!stream.isStream) {
        giveWay("no stream");
    }
    return decoded(stream, limit);
}

} // namespace pdfinfodump
