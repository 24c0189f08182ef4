// The commands that talk to a module: what reaches the module, what is
// printed, and the exit status of every outcome (success, refusal, silence,
// hang-up, no port).

#include <thread>

#include "device/protocol.h"
#include "tests/cli/cli_harness.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> Requests(const VirtualModule& module) {
    std::vector<Bytes> out;
    for (const Exchange& e : module.exchanges()) out.push_back(e.request);
    return out;
}

// One window button each: the value typed, the request, the handler's text.
struct ButtonCase {
    std::vector<std::wstring> args;
    Bytes request;  // the first request after the port opened
    const wchar_t* text;
};

const ButtonCase kButtons[] = {
    {{L"set", L"brightness", L"0x64"}, {0x07, 0x64}, L"Max brightness set."},
    {{L"set", L"brightness", L"064"}, {0x07, 0x34}, L"Max brightness set."},
    {{L"set", L"period", L"500"}, {0x10, 0xF4, 0x01}, L"IR period set."},
    {{L"set", L"period", L"65536"}, {0x10, 0x00, 0x00}, L"IR period set."},
    {{L"set", L"full-repeat", L"on"}, {0x0F, 0x01}, L"IR full repeat toggled."},
    {{L"set", L"full-repeat", L"off"}, {0x0F, 0x00}, L"IR full repeat toggled."},
    {{L"set", L"resistance", L"3.9 k\u2126", L"22 \u2126"}, {0x15, 0x04, 0x80}, L"Default resistance updated."},
    // The Greek capital omega a keyboard gives stands for the ohm sign.
    {{L"set", L"resistance", L"22 \u03A9", L""}, {0x15, 0x00, 0x40}, L"Default resistance updated."},
    {{L"set", L"resistance", L"", L""}, {0x15, 0x00, 0x00}, L"Default resistance updated."},
    {{L"send-ir", L"0x12345678"}, {0x06, 0x78, 0x56, 0x34, 0x12}, L"IR code sent"},
    {{L"send-ir", L"0xFFFFFFFFF"}, {0x06, 0xFF, 0xFF, 0xFF, 0xFF}, L"IR code sent"},
    {{L"store"}, {0x04}, L"Config saved to module."},
    {{L"reload"}, {0x05}, L"Config loaded from module."},
    {{L"reset"}, {0x13}, L"Default config restored."},
};

TEST(Buttons, EachCommandSendsTheWindowsRequestAndPrintsItsText) {
    VirtualModule module;
    for (const auto& c : kButtons) {
        module.clearExchanges();
        const CliRun run = RunCli(OnModule(module, c.args));
        EXPECT_EQ(run.status, 0) << ToUtf8(c.text);
        EXPECT_EQ(run.out, std::wstring(c.text) + L"\n");
        EXPECT_EQ(run.err, L"");
        const auto requests = Requests(module);
        ASSERT_FALSE(requests.empty()) << ToUtf8(c.text);
        EXPECT_EQ(requests.front(), c.request) << ToUtf8(c.text);
    }
}

// Status 1: the module's refusal with the handler's text and the code.
TEST(ExitStatus, RefusalIsOneWithTheHandlersTextAndCode) {
    struct Refusal {
        std::vector<std::wstring> args;
        int command;
        const wchar_t* text;
    };
    const Refusal cases[] = {
        {{L"store"}, cmd::saveConfig, L"Save failed, response: 3"},
        {{L"reload"}, cmd::loadConfig, L"Load failed, response: 3"},
        {{L"reset"}, cmd::resetConfig, L"Reset failed, response: 3"},
        {{L"send-ir", L"7"}, cmd::sendIR, L"IR failed to send, response: 3"},
        {{L"set", L"period", L"7"}, cmd::setIRRepeatPeriod, L"IR period set failed, response: 3"},
        {{L"set", L"full-repeat", L"on"}, cmd::setIRFullRepeat, L"Toggle full repeat failed, response: 3"},
        {{L"set", L"resistance", L"", L""}, cmd::setDefaultResistance,
         L"Updating default resistance failed, response: 3"},
        {{L"set", L"brightness", L"7"}, cmd::setMaxBrightness, L"Max brightness set failed, response: 3"},
    };
    VirtualModule module;
    for (const auto& c : cases) {
        module.addFault(Refuse(c.command, 3));
        const CliRun run = RunCli(OnModule(module, c.args));
        EXPECT_EQ(run.status, 1) << ToUtf8(c.text);
        EXPECT_EQ(run.err, std::wstring(c.text) + L"\n");
        EXPECT_EQ(run.out, L"");
    }
}

// Status 4: the port does not open, or the line or the protocol fails.
TEST(ExitStatus, DeviceFailuresAreFourWithTheWindowsTexts) {
    struct Failure {
        std::vector<std::wstring> args;
        Fault fault;
        const wchar_t* text;
    };
    const Failure cases[] = {
        {{L"info"}, Silence(cmd::getIRRepeatPeriod), L"Protocol error occured: Fewer bytes than expected."},
        {{L"info"}, Silence(cmd::getAccActions, 4), L"Protocol error occured: Fewer bytes than expected."},
        {{L"info"}, HangUp(cmd::getMediaActions), L"Serial error occured: Read failed."},
        {{L"store"}, Silence(cmd::saveConfig), L"Protocol error occured: Fewer bytes than expected."},
        {{L"watch"}, Silence(cmd::getCurrentBrightness), L"Protocol error occured: Fewer bytes than expected."},
        {{L"watch"}, HangUp(cmd::getPressedButtons), L"Serial error occured: Read failed."},
        // The brightness handler guards its own exchange, as in the window.
        {{L"set", L"brightness", L"7"}, Silence(cmd::setMaxBrightness), L"Max brightness set failed (exception)."},
    };
    for (const auto& c : cases) {
        VirtualModule module;
        module.addFault(c.fault);
        const CliRun run = RunCli(OnModule(module, c.args));
        EXPECT_EQ(run.status, 4) << ToUtf8(c.text);
        EXPECT_EQ(run.err, std::wstring(c.text) + L"\n");
    }
    const CliRun noPort = RunCli({L"--port", L"/dev/korvel-no-such-port", L"info"});
    EXPECT_EQ(noPort.status, 4);
    EXPECT_EQ(noPort.err, L"Connection failed.\n");
}

TEST(Info, PrintsTheSettingsAndTheRowCounts) {
    ModuleConfig config = FactoryConfig();
    config.maxBrightness = 150;  // as the module holds it, above what the window shows
    config.irFullRepeat = 2;
    config.defaultResistance = 0x8003;  // two RA bits: no catalogue entry
    VirtualModule module(config);
    const CliRun text = RunCli(OnModule(module, {L"info"}));
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, L"Max brightness (0-100): 150\n"
                        L"IR Period (ms): 100\n"
                        L"Full Repeat: on\n"
                        L"RA default: 0x0003\n"
                        L"RB default: 22 \u2126\n"
                        L"Media rows: 13\n"
                        L"Gears rows: 4\n"
                        L"Horn rows: 1\n"
                        L"ACC rows: 7\n");
    const CliRun json = RunCli(OnModule(module, {L"info", L"--json"}));
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out,
              L"{\"settings\": {\"maxBrightness\": 150, \"irFullRepeat\": true, \"irRepeatPeriod\": 100, "
              L"\"defaultResistors\": 32771}, \"rows\": {\"media\": 13, \"gears\": 4, \"horn\": 1, \"acc\": 7}}\n");
}

TEST(Watch, PrintsOneLinePerChangeOfTheLiveDisplays) {
    VirtualModule module;
    module.setLiveChanges(false);
    module.setPressed({0x15, 0x00, 0x01, 0x0100}, 42);
    std::thread later([&] {
        // Several polls see the same state before it changes once.
        std::this_thread::sleep_for(std::chrono::milliseconds(ScaledMs(1000)));
        module.setPressed({0x00, 0x1C, 0x00, 0x0000}, 7);
    });
    const CliRun run = RunCli(OnModule(module, {L"watch", L"--count", L"2"}));
    later.join();
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, L"Media: 0x15  Gears: 0x00  Horn: 0x01  ACC: 0x0100  Current: 42\n"
                       L"Media: 0x00  Gears: 0x1C  Horn: 0x00  ACC: 0x0000  Current: 7\n");
    // Each poll is the window's two exchanges, and the unchanged ones print nothing.
    const auto requests = Requests(module);
    ASSERT_GE(requests.size(), 6u);
    for (std::size_t i = 0; i < requests.size(); ++i)
        EXPECT_EQ(requests[i], Bytes{i % 2 == 0 ? cmd::getPressedButtons : cmd::getCurrentBrightness});
}

}  // namespace
