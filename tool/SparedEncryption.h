#pragma once

class QPDF;

namespace pdfinfodump {

// What an encryption leaves readable without its key, read from a document opened with its
// /Encrypt key renamed (DamagedFileRepair.h) so that qpdf takes every byte as it is.
enum class LeftPlain {
    Nothing,
    // Crypt filters of /Identity for strings and streams: only embedded files are encrypted.
    StringsAndStreams,
    // /StrF /Identity with streams encrypted: every string is plain, no stream data is, and
    // neither is any object inside an object stream.
    Strings,
};

LeftPlain sparedByEncryption(QPDF& pdf);

// Whether the objects a dump reads besides stream data lie outside object streams: the
// catalog, every node of the page tree with its /Kids and /Count, and the information
// dictionary with its values. An object stream is a stream, so under LeftPlain::Strings
// its objects are as unreadable as its data.
bool dumpedObjectsOutsideObjectStreams(QPDF& pdf);

} // namespace pdfinfodump
