#include "tool/QpdfAuditSource.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <limits>
#include <string>

namespace pdfinfodump {

QpdfAuditSource::QpdfAuditSource(QPDF& pdf, bool streamsPlain) : pdf_(pdf) {
    if (!streamsPlain) {
        for (const auto& [object, entry] : pdf.getXRefTable()) {
            if (entry.getType() == 2) {
                packed_.insert(object);
            }
        }
    }
}

PdfObject QpdfAuditSource::converted(QPDFObjectHandle object, bool top,
                                     const std::vector<std::string_view>* keep) {
    using Kind = PdfObject::Kind;
    PdfObject value;
    if (!top && object.isIndirect()) {
        value.kind = Kind::Reference;
        value.number = object.getObjectID();
        value.generation = object.getGeneration();
    } else if (object.isBool()) {
        value.kind = Kind::Boolean;
        value.number = object.getBoolValue() ? 1 : 0;
    } else if (object.isInteger()) {
        value.kind = Kind::Integer;
        value.number = object.getIntValue();
    } else if (object.isReal()) {
        value.kind = Kind::Real;
        value.bytes = object.getRealValue();
    } else if (object.isString()) {
        value.kind = Kind::String;
        value.bytes = object.getStringValue();
    } else if (object.isName()) {
        value.kind = Kind::Name;
        value.bytes = object.getName().substr(1);
    } else if (object.isArray()) {
        value.kind = Kind::Array;
        for (QPDFObjectHandle item : object.aitems()) {
            value.values.push_back(converted(item, false));
        }
    } else if (object.isDictionary() || object.isStream()) {
        value.kind = Kind::Dictionary;
        QPDFObjectHandle dictionary = object.isStream() ? object.getDict() : object;
        // Neither way resolves the values (qpdf's ditems() would, to leave out nulls), so
        // that no object is read that the audit does not look at.
        if (keep) {
            for (const std::string_view key : *keep) {
                QPDFObjectHandle item = dictionary.getKey("/" + std::string(key));
                if (item.isIndirect() || !item.isNull()) {
                    value.keys.emplace_back(key);
                    value.values.push_back(converted(item, false));
                }
            }
        } else {
            for (auto& [key, item] : dictionary.getDictAsMap()) {
                value.keys.push_back(key.substr(1));
                value.values.push_back(converted(item, false));
            }
        }
    }
    return value;
}

const PdfObject& QpdfAuditSource::trailer() {
    if (!trailer_) {
        trailer_ = converted(pdf_.getTrailer(), true);
    }
    return *trailer_;
}

const PdfObject& QpdfAuditSource::resolve(const PdfObject& value, bool* isStream) {
    return stored(value, isStream, nullptr);
}

const PdfObject& QpdfAuditSource::resolveKeeping(const PdfObject& value,
                                                 const std::vector<std::string_view>& keys,
                                                 bool* isStream) {
    return stored(value, isStream, &keys);
}

const PdfObject& QpdfAuditSource::stored(const PdfObject& value, bool* isStream,
                                         const std::vector<std::string_view>* keep) {
    if (isStream) {
        *isStream = false;
    }
    if (!value.is(PdfObject::Kind::Reference)) {
        return value;
    }
    const auto key =
        std::make_tuple(value.number, value.generation, static_cast<const void*>(keep));
    auto found = objects_.find(key);
    if (found == objects_.end()) {
        if (value.number > std::numeric_limits<int>::max()) {
            throw UnreadableObjects("object number out of range");
        }
        const QPDFObjGen object(static_cast<int>(value.number), value.generation);
        if (packed_.count(object) != 0) {
            throw UnreadableObjects("object in an encrypted object stream");
        }
        QPDFObjectHandle handle = pdf_.getObjectByObjGen(object);
        found =
            objects_.emplace(key, Stored{converted(handle, true, keep), handle.isStream()}).first;
    }
    if (isStream) {
        *isStream = found->second.isStream;
    }
    return found->second.value;
}

} // namespace pdfinfodump
