// libFuzzer target and corpus replayer: the texts a user types into cells.
// Input: a table number, a 16-bit code, then the text (bytes are Latin-1;
// 0xFF escapes the next two bytes as one UTF-16 unit, low byte first).
// ParseAutoBase must agree with the C library's strtoull on the same text cut
// to 32 bits as a Windows unsigned long; ParseButton must follow its three
// steps (catalogue, last parentheses, whole text); and every cell text that
// FormatButton makes must read back as its code.

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "actions/auto_base.h"
#include "actions/catalogues.h"
#include "actions/cell_text.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

std::wstring textOf(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            text += static_cast<wchar_t>(data[i + 1] | data[i + 2] << 8);
            i += 2;
        } else {
            text += static_cast<wchar_t>(data[i]);
        }
    }
    return text;
}

// strtoull on the text narrowed to bytes (anything past ASCII becomes '?',
// which no number contains), clamped as a 32-bit strtoul clamps.
AutoBaseNumber referenceAutoBase(std::wstring_view text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    const char* begin = narrow.c_str();
    char* end = nullptr;
    errno = 0;
    const unsigned long long raw = std::strtoull(begin, &end, 0);
    const bool overflow64 = errno == ERANGE;
    std::size_t i = 0;
    while (narrow[i] == ' ' || (narrow[i] >= '\t' && narrow[i] <= '\r')) ++i;
    const bool negative = narrow[i] == '-';
    const unsigned long long magnitude = negative ? 0 - raw : raw;

    AutoBaseNumber n;
    n.consumed = end == begin ? 0 : static_cast<std::size_t>(end - begin);
    n.valid = n.consumed > 0;
    if (!n.valid) return n;
    if (overflow64 || magnitude > 0xFFFFFFFFull) {
        n.value = 0xFFFFFFFFu;
    } else {
        const auto v = static_cast<std::uint32_t>(magnitude);
        n.value = negative ? 0u - v : v;
    }
    return n;
}

bool sameNumber(const AutoBaseNumber& a, const AutoBaseNumber& b) {
    return a.valid == b.valid && a.consumed == b.consumed && (!a.valid || a.value == b.value);
}

bool referenceParseButton(std::uint32_t table, const std::wstring& text, std::uint32_t& code) {
    for (const auto& entry : ButtonCatalogue(table)) {
        if (text == entry.name || text == FormatCatalogueEntry(table, entry.name, entry.code)) {
            code = entry.code;
            return true;
        }
    }
    const auto open = text.rfind(L'(');
    const auto close = text.rfind(L')');
    if (open != std::wstring::npos && close != std::wstring::npos && open < close) {
        const auto inner = referenceAutoBase(std::wstring_view(text).substr(open + 1, close - open - 1));
        if (inner.valid) {
            code = inner.value;
            return true;
        }
    }
    const auto whole = referenceAutoBase(text);
    code = whole.value;
    return whole.valid;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    // 0 to 3 are the tables; 4 stands for any number without a catalogue.
    const std::uint32_t table = data[0] % 5 == 4 ? 0xFFFFFFFFu : data[0] % 5;
    std::uint16_t code = static_cast<std::uint16_t>(data[1] | data[2] << 8);
    if (table != Acc) code &= 0xFF;  // the 9-byte tables hold one-byte codes
    const std::wstring text = textOf(data + 3, size - 3);

    FUZZ_CHECK(sameNumber(ParseAutoBase(text), referenceAutoBase(text)));

    std::uint32_t got = 0x5A5A5A5A, want = 0x5A5A5A5A;
    const bool parsed = ParseButton(table, text, got);
    FUZZ_CHECK(parsed == referenceParseButton(table, text, want));
    FUZZ_CHECK(!parsed || got == want);

    std::uint32_t back = 0;
    FUZZ_CHECK(ParseButton(table, FormatButton(table, code), back));
    FUZZ_CHECK(back == code);
    return 0;
}
