// show against the window's list view; diff and convert of files.

#include <set>
#include <tuple>

#include "app/actions_list.h"
#include "app/main_window.h"
#include "tests/app/memory_view.h"
#include "tests/cli/cli_harness.h"
#include "vocabulary/row_text.h"

namespace {

// The cells of each row under a table's title in show's output, cut where
// the column titles start.
std::vector<std::vector<std::wstring>> ShownRows(const std::vector<std::wstring>& lines, const std::wstring& title) {
    auto at = std::find(lines.begin(), lines.end(), title);
    std::vector<std::vector<std::wstring>> rows;
    if (lines.end() - at < 2) return rows;
    const std::wstring header = at[1] + std::wstring(99, L' ') + L"end";
    for (at += 2; at != lines.end() && !at->empty(); ++at) {
        const std::wstring line = *at + std::wstring(header.size(), L' ');
        auto& cells = rows.emplace_back();
        for (std::size_t i = 1, start = 0; i < header.size(); ++i) {
            if (header[i] == L' ' || header[i - 1] != L' ') continue;
            std::wstring cell = line.substr(start, i - start);
            cells.push_back(cell.erase(cell.find_last_not_of(L' ') + 1)), start = i;
        }
    }
    return rows;
}

TEST(Files, ShowPrintsTheSettingsAndTheCellsTheWindowShows) {
    ScratchFiles files;
    ModuleConfig config = OtherContents();
    config.gears = FactoryConfig().gears;  // named buttons beside the others' unnamed ones
    config.horn = FactoryConfig().horn;    // a name with spaces around it: " Horn "
    const CliRun show = RunCli({L"show", files.write("shown.cfg", config)});
    ASSERT_EQ(show.status, 0) << ToUtf8(show.err);
    const auto lines = Lines(show.out);
    const std::wstring head = L"Max brightness (0-100): 17\nIR Period (ms): 999\nFull Repeat: on\n"
                              L"RA default: 3.9 k\u2126\nRB default: 22 \u2126\n\nMedia\n";
    EXPECT_EQ(show.out.substr(0, head.size()), head);
    // The window holding the same configuration, on each of its four tabs.
    MemoryView view;
    App app{view};
    InitialiseMainControls(app);
    app.module.held = config;
    const wchar_t* tabs[] = {L"Media", L"Gears", L"Horn", L"ACC"};
    for (int tab = 0; tab < 4; ++tab) {
        view.tabSelect(tab);
        SwitchTable(app);
        std::vector<std::vector<std::wstring>> windowRows, shownRows = ShownRows(lines, tabs[tab]);
        for (int row = 0; row < view.listRowCount(); ++row) windowRows.push_back(view.listRow(row));
        ASSERT_EQ(shownRows.size(), windowRows.size());
        for (std::size_t row = 0; row < shownRows.size(); ++row) {
            // A button's name without the spaces around it; where the window
            // leaves a resistor's cell empty, a word or the code.
            std::wstring& button = windowRows[row][kButtonColumn];
            button.erase(0, button.find_first_not_of(L' '));
            if (const auto twice = button.find(L"  "); twice != std::wstring::npos) button.erase(twice, 1);
            for (const int column : {kRaColumn, kRbColumn}) {
                if (!windowRows[row][column].empty()) continue;
                const std::wstring& shown = shownRows[row][column];
                EXPECT_TRUE(shown == L"none" || (shown.starts_with(L"0x") && shown.size() == 6)) << ToUtf8(shown);
                shownRows[row][column].clear();
            }
        }
        EXPECT_EQ(shownRows, windowRows) << ToUtf8(tabs[tab]);
    }
    const ModuleConfig small{{}, {}, {}, {MakeRecord<AccAction>({0x0100, 1, 2, 3, 4})}, {}};
    EXPECT_EQ(RunCli({L"show", L"--json", files.write("small.cfg", small)}).out,
              L"{\"settings\": {\"maxBrightness\": 0, \"irFullRepeat\": false, \"irRepeatPeriod\": 0, "
              L"\"defaultResistance\": {\"ra\": \"none\", \"rb\": \"none\"}}, \"media\": [], \"gears\": [], \"horn\": [], "
              L"\"acc\": [{\"button\": \"0x0100\", \"irCode\": \"0x00000001\", \"lines\": [\"L2\"], \"flags\": "
              L"[\"Toggle\", \"Invert\"], \"ra\": \"3.9 k\u2126\", \"rb\": \"none\"}]}\n");
}

TEST(Files, DiffNamesExactlyTheChangedRowsAndSettings) {
    ScratchFiles files;
    const ModuleConfig a = OtherContents();
    ModuleConfig b = a;
    b.settings.maxBrightness = 30;
    b.settings.defaultResistors = 0x0004;  // RB from 22 ohm to none, RA unchanged
    b.media[1].bytes[6] ^= 0x10;             // a flag bit no column shows
    b.gears.push_back(b.gears[0]);           // a row only in b
    b.acc.pop_back();                        // a row only in a
    b.acc[0].bytes[2] = 0x45;                // the IR code
    const std::wstring fa = files.write("a.cfg", a), fb = files.write("b.cfg", b);
    const CliRun run = RunCli({L"diff", fa, fb});
    EXPECT_EQ(run.status, 1);
    std::set<std::wstring> named;  // the settings' lines; the table, row and side of the rows' lines
    std::wstring table;
    for (const auto& line : Lines(run.out)) {
        if (line.find(L' ') == std::wstring::npos) table = line;
        else if (line.find(L" -> ") != std::wstring::npos) named.insert(line);
        else if (line[0] != L' ') named.insert(table + L" " + line.substr(3, line.find(L' ', 3) - 3) + line[0]);
    }
    EXPECT_EQ(named, (std::set<std::wstring>{L"Max brightness (0-100): 17 -> 30", L"RB default: 22 \u2126 -> none",
                                             L"Media 1-", L"Media 1+", L"Gears 4+", L"ACC 0-", L"ACC 0+", L"ACC 6-"}));
    const ModuleConfig c{{}, {}, {MakeRecord<HornAction>({1, 2, 3, 4, 5})}, {}, {.irFullRepeat = 1}};
    EXPECT_EQ(RunCli({L"diff", L"--json", files.write("empty.cfg", ModuleConfig{}), files.write("c.cfg", c)}).out,
              L"{\"settings\": [{\"name\": \"irFullRepeat\", \"a\": false, \"b\": true}], \"rows\": [{\"table\": "
              L"\"horn\", \"row\": 0, \"a\": null, \"b\": {\"button\": \"0x01\", \"irCode\": \"0x00000002\", "
              L"\"lines\": [\"L1\", \"L2\"], \"flags\": [\"Store\"], \"ra\": \"0x0005\", \"rb\": \"none\"}}]}\n");
    // A full-repeat byte of 2 is on, as 1 is: no difference in either form.
    ModuleConfig on2 = a;
    on2.settings.irFullRepeat = 2;
    const std::wstring f2 = files.write("on2.cfg", on2);
    for (const bool json : {false, true}) {
        const CliRun run = RunCli({L"diff", json ? L"--json" : L"--verbose", fa, f2});
        EXPECT_EQ(std::tie(run.status, run.out, run.err),
                  std::make_tuple(0, json ? L"{\"settings\": [], \"rows\": []}\n" : L"", L""));
    }
}

TEST(Files, ConvertGoesBothWaysByteForByteAndEveryCommandTakesEitherForm) {
    ScratchFiles files;
    ModuleConfig config = OtherContents();
    config.settings.maxBrightness = 150;
    const std::wstring cfg = files.write("a.cfg", config), json = files.path("a.json"), back = files.path("b.cfg");
    for (const auto& [from, to] : {std::pair{cfg, json}, std::pair{json, back}}) {
        const CliRun run = RunCli({L"convert", from, to});
        EXPECT_EQ(std::tie(run.status, run.out, run.err),
                  std::make_tuple(0, L"Converted " + from + L" to " + to + L".\n", L""));
    }
    EXPECT_EQ(files.read("b.cfg"), files.read("a.cfg"));
    EXPECT_EQ(RunCli({L"show", json}).out, RunCli({L"show", cfg}).out);
    // A brightness above 100, which the JSON says is one, is refused from
    // either form before anything is written.
    EXPECT_NE(files.read("a.json").find("\"maxBrightness\": \"150 (above 100)\",\n"), std::string::npos);
    VirtualModule module(config);
    for (const std::wstring& file : {json, cfg}) {
        const CliRun restore = RunCli({L"@", L"restore", L"--no-keep-previous", file}, &module);
        EXPECT_EQ(std::tie(restore.status, restore.out, restore.err),
                  std::make_tuple(3, L"", file + L": max brightness takes a number from 0 to 100, not 150; nothing was "
                                                 L"written.\n"));
    }
    EXPECT_EQ(module.exchangeCount(), 0u);
    EXPECT_EQ(RunCli({L"@", L"backup", files.path("backup.json")}, &module).status, 0);
    EXPECT_EQ(files.read("backup.json"), files.read("a.json"));
    EXPECT_EQ(RunCli({L"diff", cfg, files.path("backup.json")}).status, 0);
}

}  // namespace
