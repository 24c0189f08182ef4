#include <algorithm>

#include "actions/write_all.h"
#include "cli/commands.h"
#include "cli/config_diff.h"
#include "cli/config_tables.h"
#include "cli/exit_status.h"
#include "cli/module_config.h"
#include "cli/outcome.h"
#include "cli/session.h"
#include "config/file_commands.h"
#include "device/protocol.h"
#include "settings/setting_handlers.h"

namespace {

// The four settings in the order the window's File > Open sends them, as held,
// each refusal reported with the text of the handler that sets the same value.
// The handlers themselves do not fit: their controls cannot hold every value a
// file can (a brightness above 100, a default resistance of two RA bits).
struct SettingWrite {
    const wchar_t* failure;
    std::uint8_t (*send)(SerialLink&, const HeldSettings&);
};

constexpr SettingWrite kSettingWrites[] = {
    {kIrPeriodTexts.failure,
     [](SerialLink& link, const HeldSettings& s) { return setIRRepeatPeriod(link, s.g_irRepeatPeriod); }},
    {kFullRepeatTexts.failure,
     [](SerialLink& link, const HeldSettings& s) { return setIRFullRepeat(link, s.g_irFullRepeat ? 1 : 0); }},
    {kBrightnessTexts.failure,
     [](SerialLink& link, const HeldSettings& s) { return setMaxBrightness(link, s.g_maxBrightness); }},
    {kResistanceTexts.failure,
     [](SerialLink& link, const HeldSettings& s) { return setDefaultResistance(link, s.g_defaultResistors); }},
};

bool hasOverlongTable(const ConfigData& data) {
    for (std::uint32_t table = 0; table < kTableCount; ++table)
        if (TableSize(data, table) > kMaxWireRows) return true;
    return false;
}

int restoreOn(Session& session, const ConfigData& data, const CliOutput& output) {
    App& app = session.app;
    for (const SettingWrite& write : kSettingWrites) {
        const std::uint8_t status = write.send(app.link, data.settings);
        if (status != 0) {
            output.err(write.failure + std::to_wstring(status) + L"\n");
            return kExitRefused;
        }
    }
    if (!WriteAllActions(app)) {
        // The run catches its own transport failures and says so in its text;
        // otherwise the module refused a row.
        const std::wstring outcome = LastStatus(session);
        output.err(outcome + L"\n");
        return OutcomeStatus(outcome, {}) == kExitDevice ? kExitDevice : kExitRefused;
    }
    const ConfigData readBack = ReadModuleConfig(app.link);
    const ConfigDiff diff = DiffConfigs(data, readBack);
    if (!diff.empty()) {
        std::wstring text = L"Read back differs from the file (- file, + module):\n";
        for (const auto& line : DiffLines(session, data, readBack, FirstDifference(diff))) text += line + L"\n";
        output.err(text);
        return kExitMismatch;
    }
    output.out(LastStatus(session) + L"\n");
    return kExitOk;
}

}  // namespace

int RunRestore(const CliArguments& args, const CliOutput& output) {
    ConfigData data;
    if (const auto failure = ReadConfigFile(args.operands[0], data)) {
        output.err(*failure + L"\n");
        return kExitFile;
    }
    Session session;
    ReplaceHeldConfig(session.app, data);
    if (hasOverlongTable(data)) {
        // WriteAllActions refuses such tables before its first byte; asked
        // before the port is even open, it keeps the settings back too.
        WriteAllActions(session.app);
        output.err(LastStatus(session) + L"\n");
        return kExitFile;
    }
    return WithModule(session, args, output, [&] { return restoreOn(session, data, output); });
}
