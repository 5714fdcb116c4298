#include "tool/XmpProperties.h"

#include <expat.h>

#include <array>
#include <climits>
#include <map>

namespace pdfinfodump {
namespace {

// Expat reports a name in a namespace as the namespace's URI, this separator and the local
// name.
constexpr char separator = '|';
constexpr std::string_view rdfDescription =
    "http://www.w3.org/1999/02/22-rdf-syntax-ns#|Description";
constexpr std::string_view rdfItem = "http://www.w3.org/1999/02/22-rdf-syntax-ns#|li";
constexpr std::string_view xmlLang = "http://www.w3.org/XML/1998/namespace|lang";

enum class Kind { Text, Alternative, List, Date };

struct Mapping {
    std::string_view property; // namespace URI, separator, local name
    std::string_view key;
    Kind kind;
};

// Keys of the PDF/A claim, which is no document property.
constexpr std::string_view pdfaPartKey = "pdfaid:part";
constexpr std::string_view pdfaConformanceKey = "pdfaid:conformance";

constexpr std::array<Mapping, 10> mappings = {{
    {"http://purl.org/dc/elements/1.1/|title", "Title", Kind::Alternative},
    {"http://purl.org/dc/elements/1.1/|creator", "Author", Kind::List},
    {"http://purl.org/dc/elements/1.1/|description", "Subject", Kind::Alternative},
    {"http://ns.adobe.com/pdf/1.3/|Keywords", "Keywords", Kind::Text},
    {"http://ns.adobe.com/xap/1.0/|CreatorTool", "Creator", Kind::Text},
    {"http://ns.adobe.com/pdf/1.3/|Producer", "Producer", Kind::Text},
    {"http://ns.adobe.com/xap/1.0/|CreateDate", "CreationDate", Kind::Date},
    {"http://ns.adobe.com/xap/1.0/|ModifyDate", "ModDate", Kind::Date},
    {"http://www.aiim.org/pdfa/ns/id/|part", pdfaPartKey, Kind::Text},
    {"http://www.aiim.org/pdfa/ns/id/|conformance", pdfaConformanceKey, Kind::Text},
}};

const Mapping* mappingFor(std::string_view name) {
    for (const Mapping& mapping : mappings) {
        if (mapping.property == name) {
            return &mapping;
        }
    }
    return nullptr;
}

std::string trimmed(std::string_view text) {
    static constexpr std::string_view blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(blanks) - first + 1));
}

struct Item {
    std::string language;
    std::string text;
};

// The walk through the packet: which property is open, its text and its items.
struct Reader {
    XML_Parser parser = nullptr;
    int depth = 0;
    std::vector<int> descriptionDepths; // of the open rdf:Description elements
    const Mapping* property = nullptr;
    int propertyDepth = -1;
    std::string text;
    std::vector<Item> items;
    bool inItem = false;
    bool failed = false;                            // an exception in a handler, out of memory
    std::map<std::string_view, std::string> values; // key -> first value found

    void store(const Mapping& mapping, const std::string& raw) {
        std::string value = raw;
        if (mapping.kind == Kind::Date) {
            value = xmpDateAsPdfDate(raw).value_or(std::string());
        }
        if (!value.empty()) {
            values.emplace(mapping.key, std::move(value));
        }
    }

    std::string propertyValue() const {
        if (items.empty()) {
            return trimmed(text);
        }
        if (property->kind == Kind::List) {
            std::string joined;
            for (const Item& item : items) {
                const std::string one = trimmed(item.text);
                if (!one.empty()) {
                    joined += (joined.empty() ? "" : "; ") + one;
                }
            }
            return joined;
        }
        for (const Item& item : items) {
            if (item.language == "x-default") {
                return trimmed(item.text);
            }
        }
        return trimmed(items.front().text);
    }

    void start(std::string_view name, const XML_Char** attributes) {
        ++depth;
        // Inside a property nothing but its items counts: a description nested in a
        // structure (a history entry, say) describes something else.
        if (propertyDepth >= 0) {
            if (property != nullptr && name == rdfItem) {
                inItem = true;
                items.push_back({});
                for (int i = 0; attributes[i] != nullptr; i += 2) {
                    if (attributes[i] == xmlLang) {
                        items.back().language = attributes[i + 1];
                    }
                }
            }
            return;
        }
        if (!descriptionDepths.empty() && depth == descriptionDepths.back() + 1) {
            property = mappingFor(name);
            propertyDepth = depth;
            text.clear();
            items.clear();
            return;
        }
        if (name == rdfDescription) {
            descriptionDepths.push_back(depth);
            for (int i = 0; attributes[i] != nullptr; i += 2) {
                if (const Mapping* mapping = mappingFor(attributes[i])) {
                    if (mapping->kind == Kind::Text || mapping->kind == Kind::Date) {
                        store(*mapping, trimmed(attributes[i + 1]));
                    }
                }
            }
        }
    }

    void end(std::string_view name) {
        if (property != nullptr && depth == propertyDepth) {
            store(*property, propertyValue());
            property = nullptr;
        } else if (inItem && name == rdfItem) {
            inItem = false;
        } else if (!descriptionDepths.empty() && depth == descriptionDepths.back()) {
            descriptionDepths.pop_back();
        }
        if (property == nullptr && depth == propertyDepth) {
            propertyDepth = -1;
        }
        --depth;
    }

    void characters(std::string_view chunk) {
        if (property == nullptr) {
            return;
        }
        if (inItem) {
            items.back().text.append(chunk);
        } else if (depth == propertyDepth) {
            text.append(chunk);
        }
    }
};

// No exception may cross expat's C frames: one ends the parse instead.
template <typename Call> void guarded(void* data, Call call) {
    auto* reader = static_cast<Reader*>(data);
    try {
        call(*reader);
    } catch (...) {
        reader->failed = true;
        XML_StopParser(reader->parser, XML_FALSE);
    }
}

extern "C" void onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    guarded(data, [&](Reader& reader) { reader.start(name, attributes); });
}

extern "C" void onEnd(void* data, const XML_Char* name) {
    guarded(data, [&](Reader& reader) { reader.end(name); });
}

extern "C" void onCharacters(void* data, const XML_Char* chunk, int length) {
    guarded(data, [&](Reader& reader) {
        reader.characters(std::string_view(chunk, static_cast<std::size_t>(length)));
    });
}

// Any entity declaration ends the parse: XMP needs none, and they are how a small packet
// expands into gigabytes or reaches for other files.
extern "C" void onEntityDeclaration(void* data, const XML_Char*, int, const XML_Char*, int,
                                    const XML_Char*, const XML_Char*, const XML_Char*,
                                    const XML_Char*) {
    XML_StopParser(static_cast<Reader*>(data)->parser, XML_FALSE);
}

} // namespace

std::optional<XmpContent> readXmp(std::string_view xml, std::string& error) {
    // Writers pad packets with NUL bytes, which XML does not allow; in UTF-16 text they come
    // in pairs, and a single one ends the last character.
    const bool utf16 =
        xml.size() >= 2 && (xml.substr(0, 2) == "\xFF\xFE" || xml.substr(0, 2) == "\xFE\xFF" ||
                            xml[0] == '\0' || xml[1] == '\0');
    const std::size_t unit = utf16 ? 2 : 1;
    while (xml.size() >= unit &&
           xml.substr(xml.size() - unit).find_first_not_of('\0') == std::string_view::npos) {
        xml.remove_suffix(unit);
    }
    if (xml.size() > static_cast<std::size_t>(INT_MAX)) {
        error = "too large";
        return std::nullopt;
    }
    Reader reader;
    reader.parser = XML_ParserCreateNS(nullptr, separator);
    if (reader.parser == nullptr) {
        error = "out of memory";
        return std::nullopt;
    }
    XML_SetUserData(reader.parser, &reader);
    XML_SetElementHandler(reader.parser, onStart, onEnd);
    XML_SetCharacterDataHandler(reader.parser, onCharacters);
    XML_SetEntityDeclHandler(reader.parser, onEntityDeclaration);
    const XML_Status status =
        XML_Parse(reader.parser, xml.data(), static_cast<int>(xml.size()), XML_TRUE);
    if (status != XML_STATUS_OK) {
        const XML_Error code = XML_GetErrorCode(reader.parser);
        error = reader.failed ? "out of memory"
                : code == XML_ERROR_ABORTED
                    ? "declares entities"
                    : std::string(XML_ErrorString(code)) + " at line " +
                          std::to_string(XML_GetCurrentLineNumber(reader.parser));
        XML_ParserFree(reader.parser);
        return std::nullopt;
    }
    XML_ParserFree(reader.parser);
    XmpContent content;
    for (auto& [key, value] : reader.values) {
        if (key != pdfaPartKey && key != pdfaConformanceKey) {
            content.properties.push_back({std::string(key), "\xEF\xBB\xBF" + value});
        }
    }
    if (const auto part = reader.values.find(pdfaPartKey); part != reader.values.end()) {
        std::string claim = part->second;
        if (const auto level = reader.values.find(pdfaConformanceKey);
            level != reader.values.end()) {
            for (const char c : level->second) {
                claim += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            }
        }
        content.pdfA = std::move(claim);
    }
    return content;
}

std::optional<std::vector<InfoEntry>> propertiesFromXmp(std::string_view xml, std::string& error) {
    std::optional<XmpContent> content = readXmp(xml, error);
    if (!content) {
        return std::nullopt;
    }
    return std::move(content->properties);
}

} // namespace pdfinfodump
