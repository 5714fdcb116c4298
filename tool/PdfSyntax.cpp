#include "tool/PdfSyntax.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

namespace pdfinfodump {
namespace {

// qpdf gives up only at 500 levels; real files stay far below this.
constexpr int maxDepth = 100;

// The classes of each byte, looked up rather than compared: the tokenizer asks for every byte
// of every object a large file's page walk passes.
enum ByteClass : unsigned char { space = 1, delimiter = 2, stringEscape = 4 };

constexpr std::array<unsigned char, 256> byteClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (const char c : std::string_view("\0 \t\n\v\f\r", 7)) {
        classes[static_cast<unsigned char>(c)] = space | delimiter;
    }
    for (const char c : std::string_view("()<>[]{}/%")) {
        classes[static_cast<unsigned char>(c)] = delimiter;
    }
    // The bytes a literal string does not take as they are.
    for (const char c : std::string_view("\\()\r")) {
        classes[static_cast<unsigned char>(c)] |= stringEscape;
    }
    return classes;
}();

bool isSpace(char c) {
    return (byteClasses[static_cast<unsigned char>(c)] & space) != 0;
}

// White space as C's isspace() sees it, which qpdf uses after an object.
bool isCSpace(char c) {
    return c != '\0' && isSpace(c);
}

bool isDelimiter(char c) {
    return (byteClasses[static_cast<unsigned char>(c)] & delimiter) != 0;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

[[noreturn]] void giveWay(const char* why) {
    throw GiveWayToQpdf(why);
}

// The value of an integer token ([+-]digits), as qpdf converts it.
std::int64_t integerValue(std::string_view text) {
    const bool negative = text.front() == '-';
    if (text.front() == '-' || text.front() == '+') {
        text.remove_prefix(1);
    }
    // Up to 18 digits cannot overflow: the common case, without a check per digit.
    if (text.size() <= 18) {
        std::int64_t value = 0;
        for (const char c : text) {
            value = value * 10 + (c - '0');
        }
        return negative ? -value : value;
    }
    // Accumulated negatively, so that the most negative value fits too.
    std::int64_t value = 0;
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    for (const char c : text) {
        const int digit = c - '0';
        if (value < (lowest + digit) / 10) {
            giveWay("integer out of range");
        }
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == lowest) {
            giveWay("integer out of range");
        }
        value = -value;
    }
    return value;
}

PdfObject objectOf(PdfObject::Kind kind) {
    PdfObject object;
    object.kind = kind;
    return object;
}

} // namespace

const PdfObject* PdfObject::find(std::string_view key) const {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == key) {
            return &values[i];
        }
    }
    return nullptr;
}

bool PdfParser::atEnd() {
    if (pos_ < bytes_.size()) {
        return false;
    }
    if (!complete_) {
        throw NeedMoreBytes{};
    }
    return true;
}

void PdfParser::skipIgnorable() {
    while (!atEnd()) {
        if (isSpace(peek())) {
            // A run of white space in one local loop: the member position would be stored
            // and loaded again for every byte.
            std::size_t at = pos_ + 1;
            while (at < bytes_.size() && isSpace(bytes_[at])) {
                ++at;
            }
            pos_ = at;
        } else if (peek() == '%') {
            while (peek() != '\r' && peek() != '\n') {
                ++pos_;
                if (atEnd()) {
                    // qpdf reads a comment that ends the input as a bad token.
                    giveWay("comment at the end");
                }
            }
        } else {
            return;
        }
    }
}

PdfParser::Token PdfParser::next() {
    skipIgnorable();
    if (atEnd()) {
        return Token::End;
    }
    switch (peek()) {
    case '(':
        ++pos_;
        readLiteralString();
        return Token::String;
    case '<':
        ++pos_;
        if (!atEnd() && peek() == '<') {
            ++pos_;
            return Token::DictionaryOpen;
        }
        readHexString();
        return Token::String;
    case '>':
        ++pos_;
        if (!atEnd() && peek() == '>') {
            ++pos_;
            return Token::DictionaryClose;
        }
        giveWay("unexpected >");
    case '[':
        ++pos_;
        return Token::ArrayOpen;
    case ']':
        ++pos_;
        return Token::ArrayClose;
    case '/':
        ++pos_;
        readName();
        return Token::Name;
    case ')':
    case '{':
    case '}':
        giveWay("unexpected delimiter");
    default:
        return readNumberOrKeyword();
    }
}

void PdfParser::readLiteralString() {
    text_.clear();
    int depth = 1;
    while (true) {
        // The bytes that stand for themselves, taken as one run.
        std::size_t run = pos_;
        while (run < bytes_.size() &&
               !(byteClasses[static_cast<unsigned char>(bytes_[run])] & stringEscape)) {
            ++run;
        }
        if (!skipping_) {
            text_.append(bytes_.data() + pos_, run - pos_);
        }
        pos_ = run;
        if (atEnd()) {
            giveWay("unterminated string");
        }
        const char c = bytes_[pos_++];
        if (c == '\\') {
            if (atEnd()) {
                giveWay("unterminated string");
            }
            const char escaped = bytes_[pos_++];
            if (escaped >= '0' && escaped <= '7') {
                int code = escaped - '0';
                for (int digits = 1; digits < 3; ++digits) {
                    if (atEnd()) {
                        giveWay("unterminated string");
                    }
                    if (peek() < '0' || peek() > '7') {
                        break;
                    }
                    code = code * 8 + (bytes_[pos_++] - '0');
                }
                appendText(static_cast<char>(code % 256));
                continue;
            }
            switch (escaped) {
            case 'n':
                appendText('\n');
                break;
            case 'r':
                appendText('\r');
                break;
            case 't':
                appendText('\t');
                break;
            case 'b':
                appendText('\b');
                break;
            case 'f':
                appendText('\f');
                break;
            case '\n':
                break;
            case '\r':
                if (!atEnd() && peek() == '\n') {
                    ++pos_;
                }
                break;
            default:
                appendText(escaped);
            }
        } else if (c == '(') {
            ++depth;
            appendText(c);
        } else if (c == ')') {
            if (--depth == 0) {
                return;
            }
            appendText(c);
        } else {
            // A CR, the one byte left: a line end in a string is read as one LF, as qpdf does.
            appendText('\n');
            if (!atEnd() && peek() == '\n') {
                ++pos_;
            }
        }
    }
}

void PdfParser::readHexString() {
    text_.clear();
    int high = -1;
    while (true) {
        if (atEnd()) {
            giveWay("unterminated hexadecimal string");
        }
        const char c = bytes_[pos_++];
        if (const int value = hexValue(c); value >= 0) {
            if (high < 0) {
                high = value;
            } else {
                appendText(static_cast<char>(high * 16 + value));
                high = -1;
            }
        } else if (c == '>') {
            if (high >= 0) {
                appendText(static_cast<char>(high * 16));
            }
            return;
        } else if (!isSpace(c)) {
            giveWay("invalid character in hexadecimal string");
        }
    }
}

void PdfParser::readName() {
    text_.clear();
    // The bytes up to a delimiter or a #, taken at once.
    std::size_t plain = pos_;
    while (plain < bytes_.size() && !isDelimiter(bytes_[plain]) && bytes_[plain] != '#') {
        ++plain;
    }
    if (!skipping_) {
        text_.assign(bytes_.substr(pos_, plain - pos_));
    }
    pos_ = plain;
    while (!atEnd() && !isDelimiter(peek())) {
        const char c = bytes_[pos_++];
        if (c != '#') {
            appendText(c);
            continue;
        }
        // qpdf reads a # without two hexadecimal digits, or #00, with a warning.
        int code = 0;
        for (int digit = 0; digit < 2; ++digit) {
            const int value = atEnd() ? -1 : hexValue(peek());
            if (value < 0) {
                giveWay("stray # in name");
            }
            code = code * 16 + value;
            ++pos_;
        }
        if (code == 0) {
            giveWay("null character in name");
        }
        appendText(static_cast<char>(code));
    }
}

// The states of qpdf's tokenizer for a token that starts with a digit, sign, period or any
// other regular character.
PdfParser::Token PdfParser::readNumberOrKeyword() {
    enum class State { Number, Sign, Decimal, Real, Literal };
    const std::size_t start = pos_;
    const char first = bytes_[pos_++];
    State state = isDigit(first)                 ? State::Number
                  : first == '+' || first == '-' ? State::Sign
                  : first == '.'                 ? State::Decimal
                                                 : State::Literal;
    if (state == State::Number) {
        // The digits of an integer, the most common token, in one local loop.
        std::size_t at = pos_;
        while (at < bytes_.size() && isDigit(bytes_[at])) {
            ++at;
        }
        pos_ = at;
    }
    for (; !atEnd(); ++pos_) {
        const char c = peek();
        const bool delimiter = isDelimiter(c);
        if (state == State::Number && (isDigit(c) || c == '.')) {
            state = isDigit(c) ? State::Number : State::Real;
        } else if (state == State::Real && isDigit(c)) {
        } else if (state == State::Sign && (isDigit(c) || c == '.')) {
            state = isDigit(c) ? State::Number : State::Decimal;
        } else if (state == State::Decimal && isDigit(c)) {
            state = State::Real;
        } else if (delimiter) {
            if (state == State::Sign || state == State::Decimal) {
                state = State::Literal;
            }
            break;
        } else {
            state = State::Literal;
        }
    }
    if (state == State::Sign || state == State::Decimal) {
        state = State::Literal;
    }
    word_ = bytes_.substr(start, pos_ - start);
    return state == State::Number ? Token::Integer
           : state == State::Real ? Token::Real
                                  : Token::Keyword;
}

PdfObject PdfParser::scalar(Token token) const {
    PdfObject object;
    switch (token) {
    case Token::Integer:
        object.kind = PdfObject::Kind::Integer;
        object.number = integerValue(word_);
        return object;
    case Token::Real:
        object.kind = PdfObject::Kind::Real;
        object.bytes = word_;
        return object;
    case Token::String:
        object.kind = PdfObject::Kind::String;
        object.bytes = text_;
        return object;
    case Token::Name:
        object.kind = PdfObject::Kind::Name;
        object.bytes = text_;
        return object;
    case Token::Keyword:
        if (word_ == "true" || word_ == "false") {
            object.kind = PdfObject::Kind::Boolean;
            object.number = word_ == "true" ? 1 : 0;
            return object;
        }
        if (word_ == "null") {
            return object;
        }
        giveWay("unexpected keyword");
    default:
        giveWay("unexpected token");
    }
}

PdfObject::Kind PdfParser::scalarKind(Token token) const {
    switch (token) {
    case Token::Integer:
        integerValue(word_);
        return PdfObject::Kind::Integer;
    case Token::Real:
        return PdfObject::Kind::Real;
    case Token::String:
        return PdfObject::Kind::String;
    case Token::Name:
        return PdfObject::Kind::Name;
    default:
        return scalar(token).kind;
    }
}

PdfObject PdfParser::readObject(const std::vector<std::string_view>* keep) {
    const Token token = next();
    switch (token) {
    case Token::ArrayOpen:
        return readContainer(false, 1);
    case Token::DictionaryOpen:
        return readContainer(true, 1, keep);
    default:
        return scalar(token);
    }
}

void PdfParser::skipObject() {
    struct Skipping {
        bool& flag;
        bool before;
        ~Skipping() { flag = before; }
    } skipping{skipping_, std::exchange(skipping_, true)};
    const Token token = next();
    if (token == Token::ArrayOpen || token == Token::DictionaryOpen) {
        skipContainer(token == Token::DictionaryOpen, 1);
    } else {
        scalarKind(token);
    }
}

// The items of the containers being read, innermost last: one buffer for every container
// instead of one allocation each. What it keeps between objects is bounded.
thread_local std::vector<PdfObject> containerItems;
constexpr std::size_t containerItemsKept = 1024;

PdfObject PdfParser::readContainer(bool dictionary, int depth,
                                   const std::vector<std::string_view>* keep) {
    if (depth > maxDepth) {
        giveWay("nested too deeply");
    }
    std::vector<PdfObject>& stack = containerItems;
    const std::size_t base = stack.size();
    // This container's items are stack[base…]; they leave the stack however reading ends.
    struct Unwind {
        std::vector<PdfObject>& stack;
        std::size_t base;
        ~Unwind() {
            stack.resize(base);
            if (base == 0 && stack.capacity() > containerItemsKept) {
                std::vector<PdfObject>().swap(stack);
            }
        }
    } unwind{stack, base};
    const auto count = [&] { return stack.size() - base; };
    const auto kept = [&](const PdfObject& key) {
        return !keep || std::find(keep->begin(), keep->end(), key.bytes) != keep->end();
    };
    while (true) {
        const Token token = next();
        switch (token) {
        case Token::ArrayOpen:
        case Token::DictionaryOpen:
            // A value's position is known when it starts: references are formed from the
            // integers before it, as soon as their R is read.
            if (dictionary && count() % 2 == 1 && !kept(stack.back())) {
                skipContainer(token == Token::DictionaryOpen, depth + 1);
                stack.emplace_back();
            } else {
                // Read before it is pushed: the inner container uses the stack above base.
                PdfObject inner = readContainer(token == Token::DictionaryOpen, depth + 1);
                stack.push_back(std::move(inner));
            }
            continue;
        case Token::ArrayClose:
        case Token::DictionaryClose:
            if (dictionary != (token == Token::DictionaryClose)) {
                giveWay("unbalanced brackets");
            }
            break;
        case Token::Keyword:
            if (word_ == "R") {
                // As qpdf forms a reference: from the two direct integers read last.
                const std::size_t size = stack.size();
                if (count() < 2 || !stack[size - 1].is(PdfObject::Kind::Integer) ||
                    !stack[size - 2].is(PdfObject::Kind::Integer)) {
                    giveWay("misplaced R");
                }
                const std::int64_t number = stack[size - 2].number;
                const std::int64_t generation = stack[size - 1].number;
                constexpr std::int64_t largest = std::numeric_limits<int>::max();
                if (number < 0 || number > largest || generation < 0 || generation > largest) {
                    giveWay("reference out of range");
                }
                stack.resize(size - 2);
                // qpdf reads a reference to object 0 as null.
                PdfObject reference =
                    objectOf(number == 0 ? PdfObject::Kind::Null : PdfObject::Kind::Reference);
                if (number != 0) {
                    reference.number = number;
                    reference.generation = static_cast<int>(generation);
                }
                stack.push_back(std::move(reference));
                continue;
            }
            stack.push_back(scalar(token));
            continue;
        default:
            stack.push_back(scalar(token));
            continue;
        }
        break;
    }
    const auto items = stack.begin() + static_cast<std::ptrdiff_t>(base);
    if (!dictionary) {
        PdfObject array = objectOf(PdfObject::Kind::Array);
        array.values.assign(std::make_move_iterator(items), std::make_move_iterator(stack.end()));
        return array;
    }
    if (count() % 2 != 0) {
        giveWay("dictionary without a value for its last key");
    }
    PdfObject result = objectOf(PdfObject::Kind::Dictionary);
    result.keys.reserve(count() / 2);
    result.values.reserve(count() / 2);
    for (auto item = items; item != stack.end(); item += 2) {
        if (!item->is(PdfObject::Kind::Name)) {
            giveWay("dictionary key that is no name");
        }
        if (!kept(*item)) {
            continue;
        }
        // The last value written for a key wins, as in qpdf.
        const auto& keys = result.keys;
        const auto existing = std::find(keys.begin(), keys.end(), item->bytes);
        if (existing != keys.end()) {
            result.values[static_cast<std::size_t>(existing - keys.begin())] = std::move(item[1]);
        } else {
            result.keys.push_back(std::move(item->bytes));
            result.values.push_back(std::move(item[1]));
        }
    }
    return result;
}

// readContainer() without the objects. Of the items only the last two are kept, as an R may
// still make a reference of them; the checks of a dictionary's keys are made on each item
// once no R can take it any more. Strings and names are read without their bytes.
void PdfParser::skipContainer(bool dictionary, int depth) {
    if (depth > maxDepth) {
        giveWay("nested too deeply");
    }
    struct Skipping {
        bool& flag;
        bool before;
        ~Skipping() { flag = before; }
    } skipping{skipping_, std::exchange(skipping_, true)};
    struct Item {
        PdfObject::Kind kind = PdfObject::Kind::Null;
        std::int64_t number = 0;
    };
    Item last[2];
    std::size_t pending = 0; // of the items in last, the older first
    std::size_t settled = 0; // items before them
    const auto settle = [&](const Item& item) {
        if (dictionary && settled % 2 == 0 && item.kind != PdfObject::Kind::Name) {
            giveWay("dictionary key that is no name");
        }
        ++settled;
    };
    const auto push = [&](Item item) {
        if (pending == 2) {
            settle(last[0]);
            last[0] = last[1];
            pending = 1;
        }
        last[pending++] = item;
    };
    while (true) {
        const Token token = next();
        if (token == Token::ArrayOpen || token == Token::DictionaryOpen) {
            skipContainer(token == Token::DictionaryOpen, depth + 1);
            push({PdfObject::Kind::Array, 0});
        } else if (token == Token::ArrayClose || token == Token::DictionaryClose) {
            if (dictionary != (token == Token::DictionaryClose)) {
                giveWay("unbalanced brackets");
            }
            break;
        } else if (token == Token::Integer) {
            push({PdfObject::Kind::Integer, integerValue(word_)});
        } else if (token == Token::Keyword && word_ == "R") {
            if (pending < 2 || last[0].kind != PdfObject::Kind::Integer ||
                last[1].kind != PdfObject::Kind::Integer) {
                giveWay("misplaced R");
            }
            constexpr std::int64_t largest = std::numeric_limits<int>::max();
            if (last[0].number < 0 || last[0].number > largest || last[1].number < 0 ||
                last[1].number > largest) {
                giveWay("reference out of range");
            }
            last[0] = {PdfObject::Kind::Reference, 0};
            pending = 1;
        } else {
            push({scalarKind(token), 0});
        }
    }
    for (std::size_t i = 0; i < pending; ++i) {
        settle(last[i]);
    }
    if (dictionary && settled % 2 != 0) {
        giveWay("dictionary without a value for its last key");
    }
}

bool PdfParser::takeKeyword(std::string_view word) {
    const std::size_t start = pos_;
    if (next() == Token::Keyword && word_ == word) {
        return true;
    }
    pos_ = start;
    return false;
}

bool PdfParser::takeInteger(std::int64_t& value) {
    const std::size_t start = pos_;
    if (next() == Token::Integer) {
        value = integerValue(word_);
        return true;
    }
    pos_ = start;
    return false;
}

bool PdfParser::takeStreamLineEnd() {
    if (atEnd()) {
        return false;
    }
    if (peek() == '\r') {
        ++pos_;
        if (atEnd()) {
            return false;
        }
    }
    if (peek() != '\n') {
        return false;
    }
    ++pos_;
    return true;
}

void PdfParser::readObjectEnd() {
    if (next() == Token::End) {
        giveWay("end of the file after an object");
    }
    while (!atEnd() && isCSpace(peek())) {
        ++pos_;
    }
    if (atEnd()) {
        giveWay("end of the file after an object");
    }
}

} // namespace pdfinfodump
