#include "cli/config_text.h"

#include <iterator>

#include "actions/actions_list.h"
#include "actions/cell_text.h"
#include "app/layout_table.h"
#include "app/resource_ids.h"
#include "cli/config_tables.h"
#include "cli/text_columns.h"
#include "config/file_commands.h"

namespace {

std::wstring raText(std::uint16_t resistors) {
    const std::uint16_t ra = resistors & 0x7FFF;
    const std::wstring name = ResistorAName(resistors);
    return ra != 0 && name.empty() ? FormatHex16(ra) : name;
}

}  // namespace

std::wstring ControlCaption(int id) {
    for (std::size_t i = 0; i < std::size(kMainControls); ++i) {
        if (kMainControls[i].id != id) continue;
        if (kMainControls[i].kind == ControlKind::CheckBox) return std::wstring(kMainControls[i].text) + L":";
        if (i > 0 && kMainControls[i - 1].kind == ControlKind::Label) return kMainControls[i - 1].text;
    }
    return {};
}

std::vector<SettingText> SettingTexts(const HeldSettings& s) {
    return {
        {ControlCaption(IDC_MAX_BRIGHTNESS), std::to_wstring(s.g_maxBrightness)},
        {ControlCaption(IDC_IR_PERIOD), std::to_wstring(s.g_irRepeatPeriod)},
        {ControlCaption(IDC_FULL_REPEAT), s.g_irFullRepeat ? L"on" : L"off"},
        {ControlCaption(IDC_RA_DEFAULT), raText(s.g_defaultResistors)},
        {ControlCaption(IDC_RB_DEFAULT), ResistorBName(s.g_defaultResistors)},
    };
}

std::wstring SettingLine(const SettingText& setting) {
    return setting.value.empty() ? setting.caption : setting.caption + L" " + setting.value;
}

TableText ListTable(Session& session, const ConfigData& data, std::uint32_t table) {
    App& app = session.app;
    ReplaceHeldConfig(app, data);
    app.page.currentTable = table;
    FillActionList(app);
    TableText text;
    for (const auto& column : session.view.listColumns()) text.titles.push_back(column.title);
    for (int row = 0; row < session.view.listRowCount(); ++row) text.rows.push_back(session.view.listRow(row));
    return text;
}

std::vector<std::wstring> ConfigLines(Session& session, const ConfigData& data) {
    std::vector<std::wstring> lines;
    for (const auto& setting : SettingTexts(data.settings)) lines.push_back(SettingLine(setting));
    for (std::uint32_t table = 0; table < kTableCount; ++table) {
        TableText text = ListTable(session, data, table);
        lines.push_back(L"");
        lines.push_back(kTableTitles[table]);
        text.rows.insert(text.rows.begin(), text.titles);
        for (auto& line : AlignColumns(text.rows)) lines.push_back(std::move(line));
    }
    return lines;
}
