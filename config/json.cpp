#include "config/json.h"

#include <cstdio>
#include <set>

namespace {

constexpr int kMaxDepth = 64;

// Where and why the text stopped being JSON.
struct SyntaxError {
    std::size_t at;
    std::string reason;
};

// The length of the UTF-8 sequence at the start of `s` and its code point, or
// 0 when it is not valid UTF-8 (overlong forms, surrogates, beyond U+10FFFF).
std::size_t DecodeUtf8(std::string_view s, char32_t& code) {
    const auto b = static_cast<unsigned char>(s[0]);
    std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || n > s.size()) return 0;
    code = n == 1 ? b : b & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const auto t = static_cast<unsigned char>(s[k]);
        if ((t & 0xC0) != 0x80) return 0;
        code = code << 6 | (t & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return n;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendEscape(std::string& out, unsigned unit) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "\\u%04X", unit);
    out += buf;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A recursive-descent reader of one document; any fault throws SyntaxError.
class Parser {
public:
    explicit Parser(std::string_view text) : source(text) {}

    JsonValue document() {
        if (source.starts_with("\xEF\xBB\xBF")) position = 3;
        JsonValue value = this->value(0);
        skipSpace();
        if (position < source.size()) fail("unexpected text after the document");
        return value;
    }

private:
    [[noreturn]] void fail(std::string reason) const { throw SyntaxError{position, std::move(reason)}; }

    bool atEnd() const { return position >= source.size(); }
    char peek() const { return atEnd() ? '\0' : source[position]; }

    void skipSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) ++position;
    }

    // Skips white space, then takes `c` if it is next.
    bool take(char c) {
        skipSpace();
        if (atEnd() || peek() != c) return false;
        ++position;
        return true;
    }

    void expect(bool found, const char* what) const {
        if (found) return;
        if (atEnd()) fail("unexpected end of file");
        fail(std::string("expected ") + what);
    }

    JsonValue value(int depth) {
        skipSpace();
        if (depth >= kMaxDepth) fail("nested more than " + std::to_string(kMaxDepth) + " levels deep");
        expect(!atEnd(), "a value");
        switch (peek()) {
        case '{': return object(depth);
        case '[': return array(depth);
        case '"': return JsonString(string());
        case 't': return literal("true", JsonBoolean(true));
        case 'f': return literal("false", JsonBoolean(false));
        case 'n': return literal("null", JsonValue{});
        default: break;
        }
        if (peek() == '-' || IsDigit(peek())) return number();
        fail("expected a value");
    }

    JsonValue literal(std::string_view word, JsonValue value) {
        expect(source.substr(position).starts_with(word), "a value");
        position += word.size();
        return value;
    }

    JsonValue object(int depth) {
        ++position;
        JsonValue object = JsonObject({});
        if (take('}')) return object;
        std::set<std::string> keys;
        do {
            skipSpace();
            expect(peek() == '"', object.members.empty() ? "a key in quotes or '}'" : "a key in quotes");
            const std::size_t keyAt = position;
            std::string key = string();
            if (!keys.insert(key).second) {
                position = keyAt;
                fail("duplicate key " + QuoteJson(key));
            }
            expect(take(':'), "':'");
            JsonValue member = value(depth + 1);
            object.members.emplace_back(std::move(key), std::move(member));
        } while (take(','));
        expect(take('}'), "',' or '}'");
        return object;
    }

    JsonValue array(int depth) {
        ++position;
        JsonValue array = JsonArray({});
        if (take(']')) return array;
        do array.items.push_back(value(depth + 1));
        while (take(','));
        expect(take(']'), "',' or ']'");
        return array;
    }

    // -? (0 | [1-9][0-9]*) (. [0-9]+)? ([eE] [+-]? [0-9]+)?
    JsonValue number() {
        const std::size_t start = position;
        const auto digits = [&] {
            if (!IsDigit(peek())) fail("invalid number");
            while (IsDigit(peek())) ++position;
        };
        if (peek() == '-') ++position;
        if (peek() == '0') {
            ++position;
            if (IsDigit(peek())) fail("invalid number: a leading zero");
        } else {
            digits();
        }
        if (peek() == '.') {
            ++position;
            digits();
        }
        if (peek() == 'e' || peek() == 'E') {
            ++position;
            if (peek() == '+' || peek() == '-') ++position;
            digits();
        }
        JsonValue number{.kind = JsonKind::Number};
        number.text = source.substr(start, position - start);
        return number;
    }

    std::string string() {
        ++position;
        std::string out;
        for (;;) {
            if (atEnd()) fail("unexpected end of file");
            const char c = peek();
            if (c == '"') break;
            if (static_cast<unsigned char>(c) < 0x20) fail("a control character in a string (write it as an escape)");
            if (c == '\\') {
                escape(out);
                continue;
            }
            char32_t code = 0;
            const std::size_t n = DecodeUtf8(source.substr(position), code);
            if (n == 0) fail("invalid UTF-8");
            out.append(source.substr(position, n));
            position += n;
        }
        ++position;
        return out;
    }

    void escape(std::string& out) {
        const std::size_t start = position;
        ++position;
        const char c = peek();
        constexpr std::string_view kFrom = "\"\\/bfnrt", kTo = "\"\\/\b\f\n\r\t";
        if (const auto i = kFrom.find(c); c != '\0' && i != std::string_view::npos) {
            out += kTo[i];
            ++position;
            return;
        }
        if (c != 'u') {
            position = start;
            fail("invalid escape");
        }
        char32_t code = unit();
        if (code >= 0xDC00 && code <= 0xDFFF) {
            position = start;
            fail("invalid escape: a lone surrogate");
        }
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (!source.substr(position).starts_with("\\u")) {
                position = start;
                fail("invalid escape: a lone surrogate");
            }
            ++position;
            const char32_t low = unit();
            if (low < 0xDC00 || low > 0xDFFF) {
                position = start;
                fail("invalid escape: a lone surrogate");
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(out, code);
    }

    // The four hex digits after a "\u"; position stands on the 'u'.
    char32_t unit() {
        const std::size_t start = position - 1;
        ++position;
        char32_t code = 0;
        for (int k = 0; k < 4; ++k) {
            const int digit = HexDigit(peek());
            if (digit < 0) {
                position = start;
                fail("invalid escape");
            }
            code = code << 4 | static_cast<char32_t>(digit);
            ++position;
        }
        return code;
    }

    std::string_view source;
    std::size_t position = 0;
};

// "line L, column C: " for a byte offset; columns count characters, and a
// byte-order mark is no character.
std::string Position(std::string_view text, std::size_t at) {
    std::size_t line = 1, column = 1;
    for (std::size_t i = text.starts_with("\xEF\xBB\xBF") ? 3 : 0; i < at && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

bool HoldsObject(const JsonValue& value) {
    for (const JsonValue& item : value.items)
        if (item.kind == JsonKind::Object || HoldsObject(item)) return true;
    for (const auto& [key, member] : value.members)
        if (member.kind == JsonKind::Object || HoldsObject(member)) return true;
    return false;
}

// `indent`: the spaces before this level's lines, or nothing for all of the
// value on one line.
void Write(std::string& out, const JsonValue& value, std::optional<std::size_t> indent) {
    switch (value.kind) {
    case JsonKind::Null: out += "null"; return;
    case JsonKind::Boolean: out += value.boolean ? "true" : "false"; return;
    case JsonKind::Number: out += value.text; return;
    case JsonKind::String: out += QuoteJson(value.text); return;
    case JsonKind::Array:
    case JsonKind::Object: break;
    }
    const bool isArray = value.kind == JsonKind::Array;
    const std::size_t count = isArray ? value.items.size() : value.members.size();
    const bool oneLine = !indent || !HoldsObject(value);
    const auto inner = indent ? std::optional<std::size_t>(*indent + 2) : std::nullopt;
    out += isArray ? '[' : '{';
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) out += oneLine ? ", " : ",";
        if (!oneLine) out += '\n' + std::string(*inner, ' ');
        if (!isArray) out += QuoteJson(value.members[i].first) + ": ";
        Write(out, isArray ? value.items[i] : value.members[i].second, inner);
    }
    if (!oneLine && count > 0) out += '\n' + std::string(*indent, ' ');
    out += isArray ? ']' : '}';
}

}  // namespace

JsonValue JsonBoolean(bool value) { return {.kind = JsonKind::Boolean, .boolean = value}; }
JsonValue JsonNumber(std::uint64_t value) { return {.kind = JsonKind::Number, .text = std::to_string(value)}; }
JsonValue JsonString(std::string text) { return {.kind = JsonKind::String, .text = std::move(text)}; }
JsonValue JsonArray(std::vector<JsonValue> items) { return {.kind = JsonKind::Array, .items = std::move(items)}; }
JsonValue JsonObject(std::vector<std::pair<std::string, JsonValue>> members) {
    return {.kind = JsonKind::Object, .members = std::move(members)};
}

std::optional<std::string> ParseJson(std::string_view text, JsonValue& out) {
    try {
        out = Parser(text).document();
    } catch (const SyntaxError& error) {
        return Position(text, error.at) + error.reason;
    }
    return std::nullopt;
}

std::string WriteJson(const JsonValue& value) {
    std::string out;
    Write(out, value, 0);
    return out + '\n';
}

std::string WriteJsonLine(const JsonValue& value) {
    std::string out;
    Write(out, value, std::nullopt);
    return out;
}

std::string QuoteJson(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        char32_t code = 0;
        const std::size_t n = DecodeUtf8(text.substr(i), code);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            constexpr std::string_view kControl = "\b\f\n\r\t", kLetter = "bfnrt";
            const auto k = kControl.find(c);
            if (k != std::string_view::npos) out += std::string{'\\', kLetter[k]};
            else AppendEscape(out, static_cast<unsigned char>(c));
        } else if (n == 4) {
            AppendEscape(out, 0xD800 + ((code - 0x10000) >> 10));
            AppendEscape(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            // Bytes that are not UTF-8 pass through one at a time.
            out.append(text.substr(i, n == 0 ? 1 : n));
        }
        i += n == 0 ? 1 : n;
    }
    return out + '"';
}

std::string DescribeJson(const JsonValue& value) {
    switch (value.kind) {
    case JsonKind::Null: return "null";
    case JsonKind::Boolean: return value.boolean ? "true" : "false";
    case JsonKind::Number: return value.text;
    case JsonKind::String: return QuoteJson(value.text);
    case JsonKind::Array: return "an array";
    case JsonKind::Object: break;
    }
    return "an object";
}
