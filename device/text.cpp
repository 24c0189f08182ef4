#include "device/text.h"

#include <cstdint>

std::wstring WidenBytes(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    for (unsigned char c : text) out.push_back(static_cast<wchar_t>(c));
    return out;
}

std::string ToUtf8(const std::wstring& text) {
    std::string out;
    for (wchar_t wc : text) {
        auto c = static_cast<std::uint32_t>(wc) & 0xFFFF;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | c >> 6));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | c >> 12));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

bool FromUtf8(const std::string& text, std::wstring& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size();) {
        auto b = static_cast<unsigned char>(text[i]);
        std::uint32_t c;
        std::size_t extra;
        if (b < 0x80) { c = b; extra = 0; }
        else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; extra = 2; }
        else return false;  // nothing beyond the BMP is shown
        if (i + extra >= text.size() && extra > 0) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            auto t = static_cast<unsigned char>(text[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            c = c << 6 | (t & 0x3F);
        }
        if ((extra == 1 && c < 0x80) || (extra == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)))) return false;
        out.push_back(static_cast<wchar_t>(c));
        i += 1 + extra;
    }
    return true;
}

std::wstring WidenText(const std::string& text) {
    std::wstring wide;
    return FromUtf8(text, wide) ? wide : WidenBytes(text);
}
