#include "config/cfg_codec.h"

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
// anything is allocated for it.
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
        if (static_cast<std::size_t>(stream.gcount()) != n) return false;
        if (sizeKnown) bytesLeft = n > bytesLeft ? 0 : bytesLeft - n;
        return true;
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
    template <class R>
    bool table(std::vector<R>& records) {
        std::uint32_t count = 0;
        if (!u32(count)) return false;
        const std::uint64_t need = std::uint64_t{count} * R::kSize;
        if (sizeKnown && need > bytesLeft) return false;
        // Without a known size the table grows only as records actually arrive.
        if (sizeKnown) records.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            R r;
            if (!bytes(r.bytes.data(), r.bytes.size())) return false;
            records.push_back(r);
        }
        return true;
    }

private:
    std::istream& stream;
    std::uint64_t bytesLeft = 0;
    bool sizeKnown = false;
};

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

std::optional<FileFault> DecodeConfig(std::istream& in, ModuleConfig& out) {
    FieldReader r(in);
    std::uint32_t magic = 0, version = 0;
    if (!r.u32(magic) || !r.u32(version)) return FileFault::NoHeader;
    if (magic != CONFIG_MAGIC) return FileFault::BadMagic;
    if (version != CONFIG_VERSION) return FileFault::BadVersion;

    ModuleConfig read;
    bool whole = true;
    ForEachTable(read, [&](const TableInfo&, auto& rows) { whole = whole && r.table(rows); });
    ModuleSettings& s = read.settings;
    whole = whole && r.u16(s.irRepeatPeriod) && r.u8(s.irFullRepeat) && r.u8(s.maxBrightness) && r.u16(s.defaultResistors);
    if (!whole) return FileFault::ShortBody;
    out = std::move(read);
    return std::nullopt;
}

std::optional<FileFault> DecodeConfig(const std::vector<std::uint8_t>& bytes, ModuleConfig& out) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()), std::ios::binary);
    return DecodeConfig(in, out);
}
