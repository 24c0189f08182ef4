// libFuzzer target and corpus replayer: the texts a user types into cells.
// Input: a table number, a 16-bit code, then the text (bytes are Latin-1;
// 0xFF escapes the next two bytes as one UTF-16 unit, low byte first).
// ParseAutoBase must agree with the C library's strtoull on the same text cut
// to 32 bits as a Windows unsigned long (the corpus holds the edge cases: C
// white space, signs, a lone 0x, octal, overflow either way, a non-ASCII
// digit); ParseButton must not crash on any text, and must read every cell
// text FormatButton makes back as its code.

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/fuzz/fuzz_check.h"
#include "vocabulary/auto_base.h"
#include "vocabulary/catalogues.h"
#include "vocabulary/cell_text.h"

namespace {

std::wstring textOf(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i) {
        const bool escaped = data[i] == 0xFF && i + 2 < size;
        text += static_cast<wchar_t>(escaped ? data[i + 1] | data[i + 2] << 8 : data[i]);
        i += escaped ? 2 : 0;
    }
    return text;
}

// strtoull on the text narrowed to bytes (anything past ASCII becomes '?',
// which no number contains), clamped as a 32-bit strtoul clamps.
AutoBaseNumber referenceAutoBase(std::wstring_view text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    char* end = nullptr;
    errno = 0;
    const unsigned long long raw = std::strtoull(narrow.c_str(), &end, 0);
    const bool overflow64 = errno == ERANGE;
    std::size_t i = 0;
    while (narrow[i] == ' ' || (narrow[i] >= '\t' && narrow[i] <= '\r')) ++i;
    const bool negative = narrow[i] == '-';
    const unsigned long long magnitude = negative ? 0 - raw : raw;

    AutoBaseNumber n;
    n.consumed = static_cast<std::size_t>(end - narrow.c_str());
    n.valid = n.consumed > 0;
    if (!n.valid) return n;
    const auto v = static_cast<std::uint32_t>(magnitude);
    n.value = overflow64 || magnitude > 0xFFFFFFFFull ? 0xFFFFFFFFu : negative ? 0u - v : v;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    // 0 to 3 are the tables; 4 stands for any number without a catalogue.
    const std::uint32_t table = data[0] % 5 == 4 ? 0xFFFFFFFFu : data[0] % 5;
    std::uint16_t code = static_cast<std::uint16_t>(data[1] | data[2] << 8);
    if (table != Acc) code &= 0xFF;  // the 9-byte tables hold one-byte codes
    const std::wstring text = textOf(data + 3, size - 3);

    const AutoBaseNumber got = ParseAutoBase(text), want = referenceAutoBase(text);
    FUZZ_CHECK(got.valid == want.valid && got.consumed == want.consumed && (!got.valid || got.value == want.value));

    std::uint32_t parsed = 0;
    ParseButton(table, text, parsed);
    FUZZ_CHECK(ParseButton(table, FormatButton(table, code), parsed) && parsed == code);
    return 0;
}
