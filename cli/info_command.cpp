#include "cli/commands.h"
#include "cli/config_json.h"
#include "cli/config_tables.h"
#include "cli/config_text.h"
#include "cli/exit_status.h"
#include "cli/module_config.h"
#include "cli/session.h"

int RunInfo(const CliArguments& args, const CliOutput& output) {
    Session session;
    return WithModule(session, args, output, [&] {
        const ConfigData data = ReadModuleConfig(session.app.link);
        std::wstring text;
        if (args.json) {
            text = L"{\"settings\": " + JsonSettings(data.settings) + L", \"rows\": {";
            for (std::uint32_t table = 0; table < kTableCount; ++table)
                text += (table ? L", " : L"") + JsonString(kTableKeys[table]) + L": " +
                        std::to_wstring(TableSize(data, table));
            text += L"}}\n";
        } else {
            for (const auto& setting : SettingTexts(data.settings)) text += SettingLine(setting) + L"\n";
            for (std::uint32_t table = 0; table < kTableCount; ++table)
                text += std::wstring(kTableTitles[table]) + L" rows: " + std::to_wstring(TableSize(data, table)) + L"\n";
        }
        output.out(text);
        return kExitOk;
    });
}
