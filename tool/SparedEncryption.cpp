#include "tool/SparedEncryption.h"

#include "tool/DamagedFileRepair.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <set>
#include <string>
#include <vector>

namespace pdfinfodump {
namespace {

// A crypt filter name of /Identity, or no name at all, which means /Identity.
bool isIdentity(QPDFObjectHandle filter) {
    return filter.isNull() || (filter.isName() && filter.getName() == "/Identity");
}

} // namespace

LeftPlain sparedByEncryption(QPDF& pdf) {
    QPDFObjectHandle encrypt = pdf.getTrailer().getKey(std::string(disabledEncryptKey));
    // Crypt filters exist from /V 4 on; before, everything is encrypted.
    if (!encrypt.isDictionary() || !encrypt.getKey("/V").isInteger() ||
        encrypt.getKey("/V").getIntValue() < 4 || !isIdentity(encrypt.getKey("/StrF"))) {
        return LeftPlain::Nothing;
    }
    return isIdentity(encrypt.getKey("/StmF")) ? LeftPlain::StringsAndStreams : LeftPlain::Strings;
}

bool dumpedObjectsOutsideObjectStreams(QPDF& pdf) {
    std::set<QPDFObjGen> packed;
    for (const auto& [object, entry] : pdf.getXRefTable()) {
        if (entry.getType() == 2) {
            packed.insert(object);
        }
    }
    if (packed.empty()) {
        return true;
    }
    // Looked at before each is resolved: resolving a packed object decodes its stream.
    const auto outside = [&](QPDFObjectHandle value) {
        return !value.isIndirect() || packed.count(value.getObjGen()) == 0;
    };
    QPDFObjectHandle trailer = pdf.getTrailer();
    QPDFObjectHandle info = trailer.getKey("/Info");
    if (!outside(info)) {
        return false;
    }
    if (info.isDictionary()) {
        for (const auto& [key, value] : info.getDictAsMap()) {
            if (!outside(value)) {
                return false;
            }
        }
    }
    QPDFObjectHandle root = trailer.getKey("/Root");
    if (!outside(root)) {
        return false;
    }
    if (!root.isDictionary()) {
        return true;
    }
    std::set<QPDFObjGen> seen;
    std::vector<QPDFObjectHandle> pending{root.getKey("/Pages")};
    while (!pending.empty()) {
        QPDFObjectHandle node = pending.back();
        pending.pop_back();
        if (!outside(node)) {
            return false;
        }
        if (!node.isDictionary() || (node.isIndirect() && !seen.insert(node.getObjGen()).second)) {
            continue;
        }
        QPDFObjectHandle kids = node.getKey("/Kids");
        if (!outside(kids) || !outside(node.getKey("/Count"))) {
            return false;
        }
        if (kids.isArray()) {
            for (QPDFObjectHandle kid : kids.aitems()) {
                pending.push_back(kid);
            }
        }
    }
    return true;
}

} // namespace pdfinfodump
