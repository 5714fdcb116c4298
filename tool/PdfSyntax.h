#pragma once

// PDF objects as qpdf 11's tokenizer and parser read them, for well-formed input only: the
// quick reader (QuickReader.h) reads with them what qpdf would read, and gives the file to
// qpdf at the first thing qpdf would warn about, repair or read differently.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pdfinfodump {

// Thrown where the quick reader meets what it does not read exactly as qpdf would.
class GiveWayToQpdf : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Thrown by the parser when an object runs past the bytes it was given, which are not all
// the file: the caller gives it more.
struct NeedMoreBytes {};

struct PdfObject {
    enum class Kind { Null, Boolean, Integer, Real, String, Name, Array, Dictionary, Reference };

    Kind kind = Kind::Null;
    // A Boolean's 0 or 1, an Integer's value, a Reference's object number.
    std::int64_t number = 0;
    int generation = 0;
    // A String's bytes, a Name's without the slash (#xx decoded), a Real as written.
    std::string bytes;
    // An Array's items; a Dictionary's values, keys[i] naming values[i], each key once.
    std::vector<PdfObject> values;
    std::vector<std::string> keys;

    bool is(Kind wanted) const { return kind == wanted; }
    // A Dictionary's value for key, or nullptr.
    const PdfObject* find(std::string_view key) const;
};

// Reads tokens and objects from bytes, which are all the input when complete is set.
class PdfParser {
public:
    PdfParser(std::string_view bytes, bool complete) : bytes_(bytes), complete_(complete) {}

    std::size_t position() const { return pos_; }
    void seek(std::size_t pos) { pos_ = pos; }

    // The next object, as qpdf reads an indirect object's value: a reference is formed only
    // inside arrays and dictionaries. With keep, a dictionary holds only the entries of those
    // keys: the arrays and dictionaries of the others are read past, without being built but
    // checked as closely.
    PdfObject readObject(const std::vector<std::string_view>* keep = nullptr);
    // readObject() without building the object: it is checked as closely.
    void skipObject();
    // Whether the next token is the keyword word; consumed when it is.
    bool takeKeyword(std::string_view word);
    // The next token's value when it is an integer; consumed when it is.
    bool takeInteger(std::int64_t& value);
    // After the keyword stream: the line end qpdf takes without a warning, LF or CR LF.
    bool takeStreamLineEnd();
    // After an indirect object: the token that ends it (endobj, as a rule) and the white space
    // after that, as qpdf reads them. Gives way where qpdf fails: at a bad token, or at the end
    // of the file.
    void readObjectEnd();

private:
    enum class Token {
        End,
        Integer,
        Real,
        String,
        Name,
        Keyword,
        ArrayOpen,
        ArrayClose,
        DictionaryOpen,
        DictionaryClose
    };

    Token next();
    void skipIgnorable();
    bool atEnd();
    char peek() const { return bytes_[pos_]; }
    void readLiteralString();
    void readHexString();
    void readName();
    Token readNumberOrKeyword();
    PdfObject readContainer(bool dictionary, int depth,
                            const std::vector<std::string_view>* keep = nullptr);
    void skipContainer(bool dictionary, int depth);
    void appendText(char c) {
        if (!skipping_) {
            text_ += c;
        }
    }
    PdfObject scalar(Token token) const;
    // scalar()'s kind, with its checks, without making the object.
    PdfObject::Kind scalarKind(Token token) const;

    std::string_view bytes_;
    bool complete_;
    std::size_t pos_ = 0;
    // The last string's or name's decoded bytes, unless skipping_.
    std::string text_;
    bool skipping_ = false;
    // The last number's or keyword's text, in bytes_.
    std::string_view word_;
};

} // namespace pdfinfodump
