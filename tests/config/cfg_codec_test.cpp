// The .cfg byte layout, the reader's checks in their order, and the files.

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <random>
#include <sstream>

#include "config/cfg_codec.h"
#include "tests/config/bad_files.h"

namespace {

// The largest single allocation made while a test watches; every operator new
// of this program goes through the replacement at the end of this file.
std::atomic<std::size_t> g_largestAllocation{0};

using Bytes = std::vector<std::uint8_t>;

void Le(Bytes& b, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
Bytes Header(std::uint32_t magic = 0x4E59417E, std::uint32_t version = 2) {
    Bytes b;
    Le(b, magic, 4);
    Le(b, version, 4);
    return b;
}
Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
// Four empty tables and the settings period 500, full repeat 1, brightness 80, 0x8004.
const Bytes kEmptyBody = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF4, 0x01, 0x01, 0x50, 0x04, 0x80};

template <class R>
R Record(std::uint8_t first) {
    R r;
    for (std::size_t i = 0; i < R::kSize; ++i) r.bytes[i] = static_cast<std::uint8_t>(first + i);
    return r;
}

ConfigData Sample() {
    ConfigData d;
    d.media = {Record<MediaAction>(0x10), Record<MediaAction>(0x20)};
    d.gears = {Record<GearAction>(0x30)};
    d.acc = {Record<AccAction>(0x40), Record<AccAction>(0xF0)};
    d.settings = {.g_maxBrightness = 200, .g_irFullRepeat = true, .g_irRepeatPeriod = 0xABCD,
                  .g_defaultResistors = 0x8003};
    return d;
}

// What a failed read must leave alone.
ConfigData Sentinel() {
    ConfigData d;
    d.horn = {Record<HornAction>(0x77)};
    d.settings.g_maxBrightness = 42;
    return d;
}

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/korvel-cfg-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::wstring path(const std::wstring& name) const { return dir_.wstring() + L"/" + name; }
    static Bytes slurp(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::filesystem::path dir_;
};

// A stream that takes `capacity` bytes and then refuses, counting the writes tried
// after the first one it cut short.
class FullBuffer : public std::streambuf {
public:
    explicit FullBuffer(std::size_t capacity) : capacity_(capacity) {}
    std::size_t attemptsAfterFailure = 0;
    Bytes taken;

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        if (failed_) ++attemptsAfterFailure;
        std::streamsize k = 0;
        while (k < n && taken.size() < capacity_) taken.push_back(static_cast<std::uint8_t>(s[k++]));
        failed_ = failed_ || k < n;
        return k;
    }
    int_type overflow(int_type c) override {
        char ch = static_cast<char>(c);
        return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
    }

private:
    std::size_t capacity_;
    bool failed_ = false;
};

// A stream that cannot seek, as a pipe: the reader cannot know the size ahead.
class PipeBuffer : public std::streambuf {
public:
    explicit PipeBuffer(Bytes bytes) : bytes_(std::move(bytes)) {
        auto* p = reinterpret_cast<char*>(bytes_.data());
        setg(p, p, p + bytes_.size());
    }

private:
    Bytes bytes_;
};

TEST(CfgLayout, EmptyTablesGiveTheThirtyByteFile) {
    ConfigData d;
    d.settings = {.g_maxBrightness = 80, .g_irFullRepeat = true, .g_irRepeatPeriod = 500, .g_defaultResistors = 0x8004};
    EXPECT_EQ(EncodeConfig(d), Cat(Header(), kEmptyBody));
    EXPECT_EQ(EncodedConfigSize(d), 30u);
}

TEST(CfgLayout, RecordsFollowTheirCountUnchangedInTableOrder) {
    ConfigData oneMedia;
    oneMedia.media = {Record<MediaAction>(0xA0)};
    ConfigData oneAcc;
    oneAcc.acc = {Record<AccAction>(0xB0)};
    const Bytes settings = {0, 0, 0, 0, 0, 0};

    Bytes media = Header();
    Le(media, 1, 4);
    for (int i = 0; i < 9; ++i) media.push_back(static_cast<std::uint8_t>(0xA0 + i));
    media.insert(media.end(), 12, 0);  // the three empty tables
    EXPECT_EQ(EncodeConfig(oneMedia), Cat(media, settings));
    EXPECT_EQ(EncodedConfigSize(oneMedia), 39u);

    Bytes acc = Header();
    acc.insert(acc.end(), 12, 0);
    Le(acc, 1, 4);
    for (int i = 0; i < 10; ++i) acc.push_back(static_cast<std::uint8_t>(0xB0 + i));
    EXPECT_EQ(EncodeConfig(oneAcc), Cat(acc, settings));
    EXPECT_EQ(EncodedConfigSize(oneAcc), 40u);

    const ConfigData sample = Sample();
    const Bytes bytes = EncodeConfig(sample);
    EXPECT_EQ(bytes.size(), EncodedConfigSize(sample));
    EXPECT_EQ(bytes.size(), 30u + 9 * 3 + 10 * 2);
}

TEST(CfgLayout, FullRepeatIsWrittenAsOneOrZero) {
    Bytes file = Cat(Header(), kEmptyBody);
    file[26] = 2;
    ConfigData d;
    ASSERT_EQ(DecodeConfig(file, d), std::nullopt);
    EXPECT_TRUE(d.settings.g_irFullRepeat);
    EXPECT_EQ(EncodeConfig(d)[26], 1);
    d.settings.g_irFullRepeat = false;
    EXPECT_EQ(EncodeConfig(d)[26], 0);
}

TEST(CfgRead, RoundTripKeepsEveryByteAndTakesTheCountsAsTheyAre) {
    ConfigData big = Sample();
    big.horn.assign(300, Record<HornAction>(0x05));  // more rows than the wire can address
    for (const ConfigData& d : {ConfigData{}, Sample(), big}) {
        ConfigData back = Sentinel();
        ASSERT_EQ(DecodeConfig(EncodeConfig(d), back), std::nullopt);
        EXPECT_EQ(back, d);
    }
}

TEST(CfgRead, TrailingBytesAreIgnored) {
    ConfigData back;
    ASSERT_EQ(DecodeConfig(Cat(EncodeConfig(Sample()), Bytes{1, 2, 3, 0xFF}), back), std::nullopt);
    EXPECT_EQ(back, Sample());
}

TEST(CfgRead, EveryBadFileHasItsTextAndChangesNothing) {
    for (const BadFile& bad : BadConfigFiles(EncodeConfig(Sample()))) {
        SCOPED_TRACE(bad.what);
        ConfigData held = Sentinel();
        g_largestAllocation = 0;
        EXPECT_EQ(DecodeConfig(bad.bytes, held), std::optional<std::wstring>(bad.text));
        EXPECT_EQ(held, Sentinel());
        EXPECT_LT(g_largestAllocation.load(), 4096u);
    }
}

TEST(CfgRead, AStreamThatCannotSeekStillRefusesAHugeCountWithoutAllocatingIt) {
    Bytes file = Header();
    Le(file, 4000000000u, 4);
    file.resize(40, 0);
    PipeBuffer pipe(file);
    std::istream in(&pipe);
    ConfigData held = Sentinel();
    g_largestAllocation = 0;
    EXPECT_EQ(DecodeConfig(in, held), std::optional<std::wstring>(L"Failed while reading config"));
    EXPECT_LT(g_largestAllocation.load(), 4096u);
    EXPECT_EQ(held, Sentinel());

    PipeBuffer whole(EncodeConfig(Sample()));
    std::istream wholeIn(&whole);
    ASSERT_EQ(DecodeConfig(wholeIn, held), std::nullopt);
    EXPECT_EQ(held, Sample());
}

// Random damage to a valid file either is refused with nothing changed, or
// reads into a configuration that writes back as the same bytes (the full
// repeat byte aside, which is written as 0 or 1).
TEST(CfgRead, DamagedFilesDecodeAllOrNothingAndReencodeToTheirOwnBytes) {
    std::mt19937 rng(12345);
    const Bytes valid = EncodeConfig(Sample());
    for (int round = 0; round < 3000; ++round) {
        Bytes file = valid;
        const int edits = 1 + static_cast<int>(rng() % 3);
        for (int e = 0; e < edits; ++e) {
            switch (rng() % 3) {
            case 0: file[rng() % file.size()] = static_cast<std::uint8_t>(rng()); break;
            case 1: file.resize(rng() % (file.size() + 1)); if (file.empty()) file.push_back(0x7E); break;
            default: file.push_back(static_cast<std::uint8_t>(rng())); break;
            }
        }
        ConfigData held = Sentinel();
        if (DecodeConfig(file, held)) {
            EXPECT_EQ(held, Sentinel());
            continue;
        }
        Bytes again = EncodeConfig(held);
        ASSERT_LE(again.size(), file.size());
        Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(again.size()));
        const std::size_t fullRepeatAt = again.size() - 4;
        prefix[fullRepeatAt] = prefix[fullRepeatAt] != 0;
        EXPECT_EQ(again, prefix);
    }
}

TEST(CfgWrite, StopsAtTheFirstFailedWrite) {
    const Bytes whole = EncodeConfig(Sample());
    for (std::size_t capacity : {0u, 5u, 12u, 20u, 40u, 76u}) {
        FullBuffer sink(capacity);
        std::ostream out(&sink);
        EXPECT_FALSE(EncodeConfig(out, Sample())) << capacity;
        EXPECT_EQ(sink.attemptsAfterFailure, 0u) << capacity;
        EXPECT_EQ(sink.taken, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(capacity)));
    }
    FullBuffer roomy(whole.size());
    std::ostream out(&roomy);
    EXPECT_TRUE(EncodeConfig(out, Sample()));
    EXPECT_EQ(roomy.taken, whole);
}

TEST_F(TempDir, SavedFileHoldsTheLayoutAndReadsBack) {
    const std::wstring file = path(L"backup.cfg");
    EXPECT_EQ(WriteConfigFile(file, Sample()), L"Config saved successfully");
    EXPECT_EQ(slurp(dir_ / "backup.cfg"), EncodeConfig(Sample()));
    ConfigData back;
    EXPECT_EQ(ReadConfigFile(file, back), std::nullopt);
    EXPECT_EQ(back, Sample());
}

TEST_F(TempDir, SavingTruncatesAnExistingLongerFile) {
    const std::wstring file = path(L"old.cfg");
    std::ofstream(dir_ / "old.cfg", std::ios::binary) << std::string(500, 'x');
    EXPECT_EQ(WriteConfigFile(file, ConfigData{}), L"Config saved successfully");
    EXPECT_EQ(slurp(dir_ / "old.cfg").size(), 30u);
}

TEST_F(TempDir, WideNamesAreStoredAsUtf8) {
    const std::wstring file = path(L"\u0412\u0430\u0437 22 \u2126.cfg");
    EXPECT_EQ(WriteConfigFile(file, Sample()), L"Config saved successfully");
    EXPECT_TRUE(std::filesystem::exists(dir_ / "\xD0\x92\xD0\xB0\xD0\xB7 22 \xE2\x84\xA6.cfg"));
    ConfigData back;
    EXPECT_EQ(ReadConfigFile(file, back), std::nullopt);
    EXPECT_EQ(back, Sample());
}

TEST_F(TempDir, FileFailuresHaveTheirTexts) {
    EXPECT_EQ(WriteConfigFile(path(L"missing/dir/x.cfg"), Sample()), L"Failed to open file for saving");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));
    // /dev/full opens but fails when the buffered bytes are flushed at close.
    EXPECT_EQ(WriteConfigFile(L"/dev/full", Sample()), L"Failed while writing config");

    ConfigData held = Sentinel();
    EXPECT_EQ(ReadConfigFile(path(L"absent.cfg"), held),
              std::optional<std::wstring>(L"Failed to open file for loading"));
    std::ofstream(dir_ / "seven.cfg", std::ios::binary) << std::string("\x7E\x41\x59\x4E\x02\x00\x00", 7);
    EXPECT_EQ(ReadConfigFile(path(L"seven.cfg"), held), std::optional<std::wstring>(L"Failed to read config header"));
    EXPECT_EQ(held, Sentinel());
}

}  // namespace

// Not inlined, so that a memory checker that replaces operator new and delete
// sees every call of the pair and never half of it.
[[gnu::noinline]] void* operator new(std::size_t n) {
    std::size_t seen = g_largestAllocation.load();
    while (n > seen && !g_largestAllocation.compare_exchange_weak(seen, n)) {
    }
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
