// show and diff: files as the window shows them, and what differs between two.

#include <set>
#include <tuple>

#include "actions/actions_list.h"
#include "actions/catalogues.h"
#include "app/main_window.h"
#include "app/memory_view.h"
#include "tests/cli/cli_harness.h"

namespace {

// Rows with every kind of cell: named and unnamed buttons, the code 0 of each
// table, check marks, RA values with and without a catalogue name, RB.
ModuleConfig ShowcaseConfig() {
    ModuleConfig config;
    auto media = [](ActionFields f) { return MakeRecord<MediaAction>(f); };
    config.media = {media({0x15, 0x0, 0x11, 0x0B, 0x8001}), media({0x30, 0xABC, 0xFF, 0xF4, 0x0003}),
                    media({0x00, 0xFFFFFFFF, 0x00, 0x00, 0x4000})};
    config.gears = {MakeRecord<GearAction>({0x00, 10, 0x80, 0x08, 0x0000}),
                    MakeRecord<GearAction>({0x1C, 0, 0x01, 0x00, 0x0200})};
    config.horn = {MakeRecord<HornAction>({0x01, 0x44, 0x10, 0x01, 0x8000})};
    config.acc = {MakeRecord<AccAction>({0x0100, 0x11223344, 0x81, 0x09, 0x8004}),
                  MakeRecord<AccAction>({0x0040, 0, 0, 0, 0}), MakeRecord<AccAction>({0x0000, 0, 0, 0, 0})};
    config.maxBrightness = 55;
    config.irRepeatPeriod = 250;
    config.defaultResistance = 0x0004;
    return config;
}

// The cells of each row of a table in show's output, cut at the starts of the
// column titles.
std::vector<std::vector<std::wstring>> ShownRows(const std::vector<std::wstring>& lines, const std::wstring& title) {
    std::size_t at = 0;
    while (at < lines.size() && lines[at] != title) ++at;
    EXPECT_LT(at + 1, lines.size()) << ToUtf8(title);
    if (at + 1 >= lines.size()) return {};
    const std::wstring& header = lines[at + 1];
    const wchar_t* titles[] = {L"Index", L"Button", L"IR", L"Repeat", L"L1", L"L2", L"L3", L"L4", L"H1",
                               L"H2", L"H3", L"H4", L"Toggle", L"Invert", L"Store", L"RA", L"RB"};
    std::vector<std::size_t> starts;
    for (const wchar_t* t : titles) starts.push_back(header.find(t, starts.empty() ? 0 : starts.back() + 1));
    std::vector<std::vector<std::wstring>> rows;
    for (std::size_t i = at + 2; i < lines.size() && !lines[i].empty(); ++i) {
        std::vector<std::wstring> cells;
        for (std::size_t c = 0; c < starts.size(); ++c) {
            std::wstring cell = starts[c] < lines[i].size()
                                    ? lines[i].substr(starts[c], c + 1 < starts.size() ? starts[c + 1] - starts[c] : std::wstring::npos)
                                    : L"";
            cell.erase(cell.find_last_not_of(L' ') + 1);
            cells.push_back(cell);
        }
        rows.push_back(cells);
    }
    return rows;
}

TEST(Show, PrintsTheCellsTheWindowShowsForTheSameRows) {
    ScratchFiles files;
    VirtualModule module(ShowcaseConfig());
    const std::wstring file = files.path("showcase.cfg");
    ASSERT_EQ(RunCli(OnModule(module, {L"backup", file})).status, 0);
    const CliRun show = RunCli({L"show", file});
    ASSERT_EQ(show.status, 0) << ToUtf8(show.err);
    const auto lines = Lines(show.out);

    // The window, connected to the same module, on each of its four tabs.
    MemoryView view;
    App app{view};
    app.link.timeouts = ShortTimeouts();
    InitialiseMainControls(app);
    ASSERT_TRUE(app.link.open(module.portPath()));
    app.link.connected = true;
    const wchar_t* tabs[] = {L"Media", L"Gears", L"Horn", L"ACC"};
    for (int tab = 0; tab < 4; ++tab) {
        view.tabSelect(tab);
        SwitchTable(app);
        std::vector<std::vector<std::wstring>> windowRows;
        for (int row = 0; row < view.listRowCount(); ++row) windowRows.push_back(view.listRow(row));
        EXPECT_EQ(ShownRows(lines, tabs[tab]), windowRows) << ToUtf8(tabs[tab]);
    }
}

TEST(Show, CellTextsFollowTheCataloguesAndCheckMarks) {
    ScratchFiles files;
    const ModuleConfig config = ShowcaseConfig();
    const CliRun show = RunCli({L"show", files.write("showcase.cfg", AsConfigData(config))});
    ASSERT_EQ(show.status, 0);
    const auto lines = Lines(show.out);
    const std::wstring v = CheckMark;
    using Row = std::vector<std::wstring>;
    EXPECT_EQ(ShownRows(lines, L"Media"),
              (std::vector<Row>{{L"0", L"Next (0x15)", L"0x0", v, v, L"", L"", L"", v, L"", L"", L"", v, v, L"",
                                 L"1.2 k\u2126", L"22 \u2126"},
                                {L"1", L"0x30", L"0xABC", L"", v, v, v, v, v, v, v, v, L"", L"", v, L"", L""},
                                {L"2", L" (0x00)", L"0xFFFFFFFF", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"",
                                 L"", L"", L"22 \u2126", L""}}));
    EXPECT_EQ(ShownRows(lines, L"Horn"),
              (std::vector<Row>{{L"0", L" Horn  (0x01)", L"0x44", L"", L"", L"", L"", L"", v, L"", L"", L"", v, L"",
                                 L"", L"", L"22 \u2126"}}));
    EXPECT_EQ(ShownRows(lines, L"ACC")[1][1], L"0x0040");
    EXPECT_EQ(ShownRows(lines, L"ACC")[2][1], L" (0x0000)");
    EXPECT_EQ(ShownRows(lines, L"Gears")[1][1], L"0x1C");
    EXPECT_EQ(std::vector<std::wstring>(lines.begin(), lines.begin() + 5),
              (std::vector<std::wstring>{L"Max brightness (0-100): 55", L"IR Period (ms): 250", L"Full Repeat: off",
                                         L"RA default: 3.9 k\u2126", L"RB default:"}));
}

TEST(Show, JsonHasTheFieldsByNameAndCodesAsNumbers) {
    ScratchFiles files;
    ConfigData data;
    data.media = {MakeRecord<MediaAction>({0x15, 0x11223344, 0x81, 0x09, 0x8004})};
    data.acc = {MakeRecord<AccAction>({0x0100, 1, 2, 3, 4})};
    data.settings = {80, true, 100, 0x4000};
    const CliRun run = RunCli({L"show", L"--json", files.write("small.cfg", data)});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, L"{\"settings\": {\"maxBrightness\": 80, \"irFullRepeat\": true, \"irRepeatPeriod\": 100, "
                       L"\"defaultResistors\": 16384}, \"media\": [{\"button\": 21, \"irCode\": 287454020, \"lines\": "
                       L"129, \"flags\": 9, \"resistors\": 32772}], \"gears\": [], \"horn\": [], \"acc\": [{\"button\": "
                       L"256, \"irCode\": 1, \"lines\": 2, \"flags\": 3, \"resistors\": 4}]}\n");
}

TEST(Show, AnUnreadableFileIsStatusThreeWithTheCodecsText) {
    ScratchFiles files;
    const CliRun run = RunCli({L"show", files.write("text.cfg", std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o', '!', '\n', 0})});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, L"Invalid config file\n");
    EXPECT_EQ(run.out, L"");
}

// The tables and rows under the "-" and "+" lines of diff's output.
std::set<std::tuple<std::wstring, std::wstring, wchar_t>> NamedRows(const std::vector<std::wstring>& lines) {
    std::set<std::tuple<std::wstring, std::wstring, wchar_t>> named;
    std::wstring table;
    for (const auto& line : lines) {
        if (line == L"Media" || line == L"Gears" || line == L"Horn" || line == L"ACC") table = line;
        if (line.size() > 3 && (line[0] == L'-' || line[0] == L'+'))
            named.insert({table, line.substr(3, line.find(L' ', 3) - 3), line[0]});
    }
    return named;
}

TEST(Diff, AFileAgainstItselfPrintsNothing) {
    ScratchFiles files;
    const std::wstring file = files.write("a.cfg", AsConfigData(ShowcaseConfig()));
    for (bool json : {false, true}) {
        std::vector<std::wstring> args = {L"diff", file, file};
        if (json) args.push_back(L"--json");
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, json ? L"{\"settings\": [], \"rows\": []}\n" : L"");
        EXPECT_EQ(run.err, L"");
    }
}

TEST(Diff, NamesExactlyTheChangedRowsAndSettings) {
    ScratchFiles files;
    const ConfigData a = AsConfigData(ShowcaseConfig());
    ConfigData b = a;
    b.settings.g_maxBrightness = 30;
    b.settings.g_defaultResistors = 0x8004;     // RB from none to 22 ohm, RA unchanged
    b.media[1].bytes[6] ^= 0x10;                // a flag bit no column shows
    b.gears.push_back(b.gears[0]);              // a row only in b
    b.acc.pop_back();                           // a row only in a
    b.acc[0].bytes[2] = 0x45;                   // the IR code
    const CliRun run = RunCli({L"diff", files.write("a.cfg", a), files.write("b.cfg", b)});
    EXPECT_EQ(run.status, 1);
    const auto lines = Lines(run.out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], L"Max brightness (0-100): 55 -> 30");
    EXPECT_EQ(lines[1], L"RB default: \"\" -> 22 \u2126");
    using Named = std::tuple<std::wstring, std::wstring, wchar_t>;
    EXPECT_EQ(NamedRows(lines), (std::set<Named>{{L"Media", L"1", L'-'}, {L"Media", L"1", L'+'},
                                                 {L"Gears", L"2", L'+'}, {L"ACC", L"0", L'-'},
                                                 {L"ACC", L"0", L'+'}, {L"ACC", L"2", L'-'}}));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), L"Horn"), 0);
}

TEST(Diff, JsonListsSettingsByFieldNameAndMissingRowsAsNull) {
    ScratchFiles files;
    ConfigData a;
    a.settings = {80, false, 100, 0};
    ConfigData b = a;
    b.settings.g_irFullRepeat = true;
    b.horn = {MakeRecord<HornAction>({1, 2, 3, 4, 5})};
    const CliRun run = RunCli({L"diff", L"--json", files.write("a.cfg", a), files.write("b.cfg", b)});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, L"{\"settings\": [{\"name\": \"irFullRepeat\", \"a\": false, \"b\": true}], \"rows\": "
                       L"[{\"table\": \"horn\", \"row\": 0, \"a\": null, \"b\": {\"button\": 1, \"irCode\": 2, "
                       L"\"lines\": 3, \"flags\": 4, \"resistors\": 5}}]}\n");
}

TEST(Diff, AnUnreadableFileIsStatusThreeNamingIt) {
    ScratchFiles files;
    const std::wstring good = files.write("good.cfg", ConfigData{});
    const std::wstring bad = files.write("bad.cfg", std::vector<std::uint8_t>{0x7E, 0x41, 0x59, 0x4E, 1, 0, 0, 0});
    const CliRun run = RunCli({L"diff", good, bad});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, bad + L": Unsupported config version\n");
}

}  // namespace
