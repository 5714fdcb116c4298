#pragma once

// Repaired copies of a PDF's bytes, for files that qpdf 11.3 cannot open as they are. Each
// function reads the bytes as text, as a reconstructing reader does, and returns a copy
// that qpdf can go on with, or nothing when the file holds nothing the repair works from.
// All of them run in time linear in the file's size and make one copy of it.

#include <optional>
#include <string>
#include <string_view>

namespace pdfinfodump {

// The name every /Encrypt key is renamed to by withoutEncryption(): as long as /Encrypt,
// so no offset in the file moves.
inline constexpr std::string_view disabledEncryptKey = "/NoCrypt";

// The file with "startxref" and the offset of its last cross-reference stream appended. For
// a file whose startxref is lost (trailing junk, a wrong offset): qpdf 11.3 rebuilds only
// from cross-reference tables and "trailer" keywords, never from a cross-reference stream.
std::optional<std::string> withStartxrefToXrefStream(std::string_view bytes);

// The file with a trailer of our making right after the header line and every "startxref"
// keyword disabled, so that qpdf rebuilds the cross-reference table by scanning the objects
// and takes our trailer, which it meets first. /Root is the last object typed /Catalog
// (else the last "/Root N G R" written anywhere); /Info, /Encrypt and /ID are the last
// ones written anywhere, /Info else the last dictionary that holds a document property and
// nothing a page, outline item or annotation has. Nothing without a header or a catalog.
std::optional<std::string> withRebuiltTrailer(std::string_view bytes);

// The file with every /Encrypt key renamed to disabledEncryptKey, so that qpdf reads it as
// unencrypted. Nothing when the file has no /Encrypt key.
std::optional<std::string> withoutEncryption(std::string_view bytes);

// The file with every integer qpdf cannot hold in 64 bits made harmless, keeping every
// offset: an object header "N G obj" holding one is blanked (the object is skipped), a
// "startxref" followed by one is disabled (the table is rebuilt), and any other one becomes
// 0. Nothing when there is no such integer.
std::optional<std::string> withoutHugeIntegers(std::string_view bytes);

} // namespace pdfinfodump
