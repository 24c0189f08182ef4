// The .cfg byte layout, the files the reader refuses, and File > "Save..." and
// "Open..." between virtual modules through the in-memory window's dialogs.

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <numeric>
#include <tuple>

#include "app/status_words.h"
#include "config/cfg_codec.h"
#include "config/config_document.h"
#include "config/config_file.h"
#include "tests/app/app_harness.h"
#include "tests/scratch.h"

namespace {

// The largest single allocation since the last reset; every operator new of
// this program goes through the replacement at the end of this file.
std::atomic<std::size_t> g_largestAllocation{0};

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes Seq(std::uint8_t first, std::size_t n) {
    Bytes out(n);
    std::iota(out.begin(), out.end(), first);
    return out;
}
template <class R>
R Record(std::uint8_t first) {
    R r;
    std::iota(r.bytes.begin(), r.bytes.end(), first);
    return r;
}
const Bytes kHeader = {0x7E, 0x41, 0x59, 0x4E, 2, 0, 0, 0}, kOne = {1, 0, 0, 0}, kNone = {0, 0, 0, 0};

// A module whose tables have the factory lengths but other contents, and other settings.
ModuleConfig Altered(std::uint8_t seed) {
    ModuleConfig c =
        WithSettings(seed % 100, seed & 1, seed * 101, static_cast<std::uint16_t>(0x8000 | 1 << seed % 15));
    const auto fill = [&](auto& table) { for (auto& r : table) r.bytes.fill(seed++); };
    fill(c.media), fill(c.gears), fill(c.horn), fill(c.acc);
    return c;
}
// As the window holds it, and so saves it: full repeat as 1 or 0.
ModuleConfig AsHeld(ModuleConfig c) {
    c.settings.irFullRepeat = c.settings.irFullRepeat != 0;
    return c;
}
ModuleConfig Sample() { return AsHeld(Altered(3)); }    // full repeat on
ModuleConfig Sentinel() { return AsHeld(Altered(4)); }  // what a refused file leaves alone

TEST(CfgCodec, LayoutsAreExact) {
    const Bytes zero(6, 0);
    const std::pair<ModuleConfig, Bytes> cases[] = {
        {{{}, {}, {}, {}, {80, true, 500, 0x8004}},
         Join({kHeader, kNone, kNone, kNone, kNone, {0xF4, 0x01, 0x01, 0x50, 0x04, 0x80}})},
        {{{Record<MediaAction>(0xA0)}, {}, {}, {}, {}}, Join({kHeader, kOne, Seq(0xA0, 9), kNone, kNone, kNone, zero})},
        {{{}, {}, {}, {Record<AccAction>(0xB0)}, {}}, Join({kHeader, kNone, kNone, kNone, kOne, Seq(0xB0, 10), zero})},
        {{{}, {Record<GearAction>(0xC0)}, {Record<HornAction>(0xD0)}, {}, {}},
         Join({kHeader, kNone, kOne, Seq(0xC0, 9), kOne, Seq(0xD0, 9), kNone, zero})},
    };
    for (const auto& [data, bytes] : cases) {
        EXPECT_EQ(EncodeConfig(data), bytes);
        EXPECT_EQ(EncodedConfigSize(data), bytes.size());
    }
}

// Files with the text that refuses them, or none when they read as Sample()
// (the reader keeps a full-repeat byte of 2; the window holds it as 1).
std::vector<std::tuple<const char*, Bytes, const wchar_t*>> Files() {
    const Bytes valid = EncodeConfig(Sample());
    const auto first = [&](std::size_t n) { return Bytes(valid.begin(), valid.begin() + static_cast<long>(n)); };
    const auto header = [&](Bytes h) { return Join({h, Bytes(valid.begin() + 8, valid.end())}); };
    Bytes fullRepeat2 = valid;
    fullRepeat2[valid.size() - 4] = 2;
    return {
        {"7 bytes", first(7), L"Failed to read config header"},
        {"8 bytes", first(8), L"Failed while reading config"},
        {"wrong-endian magic", header({0x4E, 0x59, 0x41, 0x7E, 2, 0, 0, 0}), L"Invalid config file"},
        {"version 1", header({0x7E, 0x41, 0x59, 0x4E, 1, 0, 0, 0}), L"Unsupported config version"},
        {"4 billion Gears records", Join({kHeader, kNone, {0x00, 0x28, 0x6B, 0xEE}, Bytes(24, 0)}),
         L"Failed while reading config"},
        {"100 thousand Horn records", Join({kHeader, kNone, kNone, {0xA0, 0x86, 0x01, 0x00}, Bytes(24, 0)}),
         L"Failed while reading config"},
        {"last byte missing", first(valid.size() - 1), L"Failed while reading config"},
        {"trailing bytes", Join({valid, {1, 2, 3, 0xFF}}), nullptr},
        {"full repeat 2", fullRepeat2, nullptr},
    };
}

// A stream that cannot seek, as a pipe: the reader cannot know the size ahead.
struct PipeBuffer : std::streambuf {
    explicit PipeBuffer(Bytes b) : bytes(std::move(b)) {
        auto* p = reinterpret_cast<char*>(bytes.data());
        setg(p, p, p + bytes.size());
    }
    Bytes bytes;
};

// Each file through a stream that cannot seek, then from disk into the held
// configuration: read whole and silently, or refused with its text, changing
// nothing held and allocating nothing for counts the rest of the file cannot
// hold, on either path.
TEST(FileCommands, AFileIsReadWholeOrNotAtAll) {
    Scratch tmp;
    OpenApp t;
    for (const auto& [what, bytes, refusal] : Files()) {
        SCOPED_TRACE(what);
        PipeBuffer pipeBuffer(bytes);
        std::istream pipe(&pipeBuffer);
        ModuleConfig data = Sentinel();
        g_largestAllocation = 0;
        const auto fault = DecodeConfig(pipe, data);
        EXPECT_EQ(fault ? StatusText({.operation = &kLoadConfigFile, .kind = OutcomeKind::FileError, .file = *fault})
                        : L"",
                  refusal ? refusal : L"");
        EXPECT_LT(g_largestAllocation.exchange(0), 4096u);
        EXPECT_EQ(AsHeld(data), refusal ? Sentinel() : Sample());
        std::ofstream(tmp.dir / "f.cfg", std::ios::binary) << std::string(bytes.begin(), bytes.end());
        t.app.module.held = Sentinel();
        const Outcome loaded = LoadConfigFile(t.app.module, tmp.path("f.cfg"));
        // The file stream's own buffer is the largest thing it needs.
        EXPECT_LT(g_largestAllocation.load(), 16384u);
        EXPECT_EQ(StatusText(loaded), refusal ? refusal : L"");
        EXPECT_EQ(t.app.module.held, refusal ? Sentinel() : Sample());
    }
    EXPECT_EQ(t.module.exchangeCount(), 0u);
}

// A file saved from one module, or the dialog cancelled with the same held: each
// setting is sent and read back, then the tables are written and the shown one is
// read, and the second module ends as the first.
TEST(FileCommands, SaveFromOneModuleThenOpenIntoAnotherMakesThemEqual) {
    Scratch tmp;
    ModuleConfig source = Altered(9);
    source.settings.maxBrightness = 200;  // only a file brings a held brightness above 100
    OpenApp first(source);
    first.app.module.held.settings = AsHeld(source).settings;
    const std::wstring name = tmp.dir.wstring() + L"/\u0412\u0430\u0437 22 \u2126.cfg";  // stored under its UTF-8 name
    const std::string utf8 = "\xD0\x92\xD0\xB0\xD0\xB7 22 \xE2\x84\xA6.cfg";
    std::ofstream(tmp.dir / utf8) << std::string(900, 'x');  // a longer file is cut to the new one
    first.view.saveAnswers.push_back(name);
    HandleEvent(first.app, UiEvent::FileSave);
    EXPECT_EQ(first.status(), L"Config saved successfully");
    EXPECT_EQ(std::filesystem::file_size(tmp.dir / utf8), EncodedConfigSize(source));
    ModuleConfig held = AsHeld(source);
    held.settings.maxBrightness = 100;  // as the second module reports it
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "from the file");
        OpenApp second(Altered(60));
        if (cancel) second.app.module.held = AsHeld(source);
        else second.view.openAnswers.push_back(name);
        HandleEvent(second.app, UiEvent::FileOpen);
        const Requests got = second.requests();
        ASSERT_GT(got.size(), 8u);
        EXPECT_EQ(Requests(got.begin(), got.begin() + 8), Requests({{0x10, 0x8D, 0x03}, {0x12}, {0x0F, 0x01}, {0x11},
                                                                    {0x07, 200}, {0x08}, {0x15, 0x00, 0x82}, {0x14}}));
        EXPECT_EQ(got.back(), Bytes{0x00});
        EXPECT_EQ(second.module.config(), source);
        EXPECT_EQ(second.app.module.held, held);
        EXPECT_EQ(second.view.getText(IDC_MAX_BRIGHTNESS), L"100");
        EXPECT_EQ(second.view.openDialogsShown, 1);
        EXPECT_EQ(second.status(), L"Media actions loaded.");
    }
}

TEST(FileCommands, TheStatusSaysWhyASaveOrAnOpenFailed) {
    Scratch tmp;
    OpenApp t;
    t.view.saveAnswers = {L"/dev/full", tmp.path("no/such/dir.cfg")};
    HandleEvent(t.app, UiEvent::FileSave);
    EXPECT_EQ(t.status(), L"Failed while writing config");
    HandleEvent(t.app, UiEvent::FileSave);
    EXPECT_EQ(t.status(), L"Failed to open file for saving");
    t.module.clearExchanges();
    t.app.module.link.connected = false;
    HandleEvent(t.app, UiEvent::FileSave);
    EXPECT_EQ(t.status(), L"No device connected, cannot save config.");
    HandleEvent(t.app, UiEvent::FileOpen);
    EXPECT_EQ(t.status(), L"No device connected, cannot load config.");
    EXPECT_EQ(t.view.saveDialogsShown + t.view.openDialogsShown, 2);
    EXPECT_EQ(t.module.exchangeCount(), 0u);
}

// A set command of File > "Open..." that fails on the line ends the sequence
// there, with the safety net's text, never the setter's own.
TEST(FileCommands, ASetCommandThatFailsOnTheLineEndsAnOpenAtTheSafetyNet) {
    const wchar_t* const cut = L"Serial error occured: Read failed.";
    const struct { std::uint8_t command; FaultKind kind; std::size_t requests; const wchar_t* status; } cases[] = {
        {cmd::setIRRepeatPeriod, FaultKind::HangUp, 1, cut},
        {cmd::setIRFullRepeat, FaultKind::HangUp, 3, cut},
        {cmd::setMaxBrightness, FaultKind::Silence, 5, L"Protocol error occured: Fewer bytes than expected."},
        {cmd::setMaxBrightness, FaultKind::HangUp, 5, cut},
        {cmd::setDefaultResistance, FaultKind::HangUp, 7, cut},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.requests);
        OpenApp t;
        t.module.addFault({.kind = c.kind, .command = c.command});
        HandleEvent(t.app, UiEvent::FileOpen);
        EXPECT_EQ(t.status(), c.status);
        EXPECT_EQ(t.requests().size(), c.requests);
        EXPECT_EQ(t.requests().back().front(), c.command) << "the failed one is the last";
        EXPECT_EQ(t.app.module.link.connected, c.kind != FaultKind::HangUp);
    }
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
