#include "config/cfg_codec.h"

#include <algorithm>
#include <sstream>
#include <type_traits>

#include "device/little_endian.h"

namespace {

// Writes little-endian fields one after the other and stops for good at the
// first write the stream reports as failed.
class FieldWriter {
public:
    explicit FieldWriter(std::ostream& out) : stream(out) {}

    void bytes(const std::uint8_t* data, std::size_t n) {
        if (!good) return;
        stream.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(n));
        good = static_cast<bool>(stream);
    }
    void u8(std::uint8_t v) { bytes(&v, 1); }
    void u16(std::uint16_t v) { number(v, 2); }
    void u32(std::uint32_t v) { number(v, 4); }
    template <class R>
    void table(const std::vector<R>& records) {
        u32(static_cast<std::uint32_t>(records.size()));
        for (const auto& r : records) bytes(r.bytes.data(), r.bytes.size());
    }
    bool ok() const { return good; }

private:
    void number(std::uint32_t v, std::size_t width) {
        std::uint8_t b[4];
        StoreLittleEndian(b, v, width);
        bytes(b, width);
    }

    std::ostream& stream;
    bool good = true;
};

// Reads little-endian fields; knows how many bytes are left when the stream
// can seek, so that a count the rest of the file cannot hold is refused before
// anything is allocated for it. Counts the bytes it has read, and on a failed
// read says where the stream ended: `offset` is then the stream's length.
class FieldReader {
public:
    explicit FieldReader(std::istream& in) : stream(in) {
        const auto here = stream.tellg();
        if (here == std::istream::pos_type(-1)) return;
        stream.seekg(0, std::ios::end);
        const auto end = stream.tellg();
        stream.seekg(here);
        if (end == std::istream::pos_type(-1) || !stream) {
            stream.clear();
            stream.seekg(here);
            return;
        }
        bytesLeft = static_cast<std::uint64_t>(end - here);
        sizeKnown = true;
    }

    bool bytes(std::uint8_t* data, std::size_t n) {
        stream.read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(n));
        const auto got = static_cast<std::size_t>(stream.gcount());
        offset += got;
        if (sizeKnown) bytesLeft = got > bytesLeft ? 0 : bytesLeft - got;
        return got == n;
    }
    bool u8(std::uint8_t& v) { return bytes(&v, 1); }
    bool u16(std::uint16_t& v) {
        std::uint8_t b[2];
        if (!bytes(b, 2)) return false;
        v = static_cast<std::uint16_t>(LoadLittleEndian(b, 2));
        return true;
    }
    bool u32(std::uint32_t& v) {
        std::uint8_t b[4];
        if (!bytes(b, 4)) return false;
        v = LoadLittleEndian(b, 4);
        return true;
    }
    // A table: its count, then its records. On a failure `end` says where.
    template <class R>
    bool table(std::vector<R>& records, FileFacts& end) {
        end.table = R::kTable;
        end.part = FilePart::RowCount;
        std::uint32_t count = 0;
        if (!u32(count)) return false;
        end.part = FilePart::Row;
        const std::uint64_t need = std::uint64_t{count} * R::kSize;
        if (sizeKnown && need > bytesLeft) {
            end.row = static_cast<std::size_t>(bytesLeft / R::kSize);
            offset += bytesLeft;
            return false;
        }
        // Without a known size the table grows only as records actually arrive.
        if (sizeKnown) records.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            end.row = i;
            R r;
            if (!bytes(r.bytes.data(), r.bytes.size())) return false;
            records.push_back(r);
        }
        return true;
    }

    std::uint64_t offset = 0;

private:
    std::istream& stream;
    std::uint64_t bytesLeft = 0;
    bool sizeKnown = false;
};

constexpr std::uint8_t kMagicBytes[4] = {CONFIG_MAGIC & 0xFF, CONFIG_MAGIC >> 8 & 0xFF, CONFIG_MAGIC >> 16 & 0xFF,
                                         CONFIG_MAGIC >> 24};

// Whether `start` is where a configuration begins: its magic, or as much of it as there is.
bool StartsAsConfig(std::string_view start) {
    const std::string_view magic(reinterpret_cast<const char*>(kMagicBytes), sizeof kMagicBytes);
    return magic.substr(0, std::min(start.size(), magic.size())) == start.substr(0, magic.size());
}

bool IsText(unsigned char c) { return c >= 0x20 || (c >= '\t' && c <= '\r') || c == 0x1B; }

}  // namespace

std::size_t EncodedConfigSize(const ModuleConfig& config) {
    std::size_t size = 30;
    ForEachTable(config, [&](const TableInfo&, const auto& rows) { 
        size += rows.size() * std::decay_t<decltype(rows)>::value_type::kSize;
    });
    return size;
}

bool EncodeConfig(std::ostream& out, const ModuleConfig& config) {
    FieldWriter w(out);
    w.u32(CONFIG_MAGIC);
    w.u32(CONFIG_VERSION);
    ForEachTable(config, [&](const TableInfo&, const auto& rows) { w.table(rows); });
    const ModuleSettings& s = config.settings;
    w.u16(s.irRepeatPeriod);
    w.u8(s.irFullRepeat);
    w.u8(s.maxBrightness);
    w.u16(s.defaultResistors);
    return w.ok();
}

std::vector<std::uint8_t> EncodeConfig(const ModuleConfig& config) {
    std::ostringstream out(std::ios::binary);
    EncodeConfig(out, config);
    const std::string s = out.str();
    return {s.begin(), s.end()};
}

std::optional<FileFault> DecodeConfig(std::istream& in, ModuleConfig& out, FileFacts* facts) {
    FileFacts found;
    const auto refuse = [&](FileFault fault, std::uint64_t size) {
        found.size = size;
        if (facts) *facts = found;
        return fault;
    };
    FieldReader r(in);
    std::uint8_t header[8] = {};
    const bool whole = r.bytes(header, sizeof header);
    const std::string_view start(reinterpret_cast<const char*>(header), static_cast<std::size_t>(r.offset));
    const FileContent content = ContentOf(start);
    if (content != FileContent::Cfg || !whole) {
        // A short file that starts as a configuration is one cut short; anything else is none.
        if (content != FileContent::Cfg) found.content = content;
        return refuse(whole ? FileFault::BadMagic : FileFault::NoHeader, r.offset);
    }
    found.version = LoadLittleEndian(header + 4, 4);
    if (found.version != CONFIG_VERSION) return refuse(FileFault::BadVersion, r.offset);

    ModuleConfig read;
    bool complete = true;
    ForEachTable(read, [&](const TableInfo&, auto& rows) { complete = complete && r.table(rows, found); });
    ModuleSettings& s = read.settings;
    if (complete) found.part = FilePart::Settings;
    complete = complete && r.u16(s.irRepeatPeriod) && r.u8(s.irFullRepeat) && r.u8(s.maxBrightness) &&
               r.u16(s.defaultResistors);
    if (!complete) return refuse(FileFault::ShortBody, r.offset);
    out = std::move(read);
    return std::nullopt;
}

std::optional<FileFault> DecodeConfig(const std::vector<std::uint8_t>& bytes, ModuleConfig& out) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()), std::ios::binary);
    return DecodeConfig(in, out);
}

FileContent ContentOf(std::string_view start) {
    if (start.empty()) return FileContent::Empty;
    if (StartsAsConfig(start)) return FileContent::Cfg;
    std::string_view text = start;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && (text[first] == '{' || text[first] == '[')) return FileContent::Json;
    for (char c : start)
        if (!IsText(static_cast<unsigned char>(c))) return FileContent::Binary;
    return FileContent::Text;
}
