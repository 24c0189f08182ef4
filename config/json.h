#pragma once
// A small JSON value with its reader and writer, enough for configuration
// files: the document is kept as written (members in their order, numbers as
// their text) so that the reader of a document decides what a value means.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class JsonKind { Null, Boolean, Number, String, Array, Object };

struct JsonValue {
    JsonKind kind = JsonKind::Null;
    bool boolean = false;
    std::string text{};  // String: the UTF-8 content; Number: the number as written
    std::vector<JsonValue> items{};                            // Array
    std::vector<std::pair<std::string, JsonValue>> members{};  // Object, in document order
};

JsonValue JsonBoolean(bool value);
JsonValue JsonNumber(std::uint64_t value);
JsonValue JsonString(std::string text);
JsonValue JsonArray(std::vector<JsonValue> items);
JsonValue JsonObject(std::vector<std::pair<std::string, JsonValue>> members);

// Reads one document (UTF-8, an optional byte-order mark, RFC 8259) into
// `out`, or says where and why it is not JSON ("line 3, column 7: expected ','
// or '}'") and leaves `out` untouched. A key given twice in one object is
// refused, and so is nesting deeper than 64 levels.
std::optional<std::string> ParseJson(std::string_view text, JsonValue& out);

// The document, two spaces per level and a newline at the end. A container
// that holds no object is written on one line, so a table row or a list of
// names stays on one line of its own.
std::string WriteJson(const JsonValue& value);
// The whole document on one line, ", " and ": " between the parts, no newline.
std::string WriteJsonLine(const JsonValue& value);

// A text as a JSON string literal, quotes included: control characters and
// characters beyond U+FFFF escaped, everything else as UTF-8.
std::string QuoteJson(std::string_view text);

// How a value shows in a message: a string quoted, a number as written, the
// literals as themselves, "an array" or "an object".
std::string DescribeJson(const JsonValue& value);
