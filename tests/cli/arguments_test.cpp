// Command lines korvelctl refuses: status 2, a line saying what is wrong, the
// usage text, and nothing sent to a module.

#include "cli/usage.h"
#include "tests/cli/cli_harness.h"

namespace {

struct BadLine {
    std::vector<std::wstring> args;
    const wchar_t* problem;
};

TEST(Usage, BadCommandLinesAreRefusedBeforeAnyPortIsOpened) {
    const BadLine cases[] = {
        {{}, L"no command given"},
        {{L"frobnicate"}, L"unknown command frobnicate"},
        {{L"info"}, L"info needs --port"},
        {{L"--port", L"/dev/null", L"show", L"a.cfg"}, L"show takes no --port"},
        {{L"--port", L"/dev/null", L"backup"}, L"wrong number of operands for backup"},
        {{L"--port", L"/dev/null", L"restore", L"a.cfg", L"b.cfg"}, L"wrong number of operands for restore"},
        {{L"diff", L"a.cfg"}, L"wrong number of operands for diff"},
        {{L"--port", L"/dev/null", L"backup", L"a.cfg", L"--json"}, L"backup takes no --json"},
        {{L"--port", L"/dev/null", L"info", L"--count", L"3"}, L"info takes no --count"},
        {{L"--port", L"/dev/null", L"info", L"--settle", L"2s"}, L"--settle takes a number of milliseconds"},
        {{L"--port", L"/dev/null", L"watch", L"--count", L"-1"}, L"--count takes a number"},
        {{L"--port"}, L"--port needs a value"},
        {{L"--verbose", L"ports"}, L"unknown option --verbose"},
        {{L"--port", L"/dev/null", L"set", L"brightness"}, L"wrong number of operands for set"},
        {{L"--port", L"/dev/null", L"set", L"volume", L"3"}, L"unknown setting volume"},
        {{L"--port", L"/dev/null", L"set", L"period", L"1", L"2"}, L"set period takes one value"},
        {{L"--port", L"/dev/null", L"set", L"resistance", L"3.9 k\u2126"}, L"set resistance takes RA and RB"},
        {{L"--port", L"/dev/null", L"set", L"full-repeat", L"yes"}, L"full-repeat is on or off"},
        {{L"--port", L"/dev/null", L"set", L"resistance", L"3.9k", L""}, L"no RA value 3.9k"},
        {{L"--port", L"/dev/null", L"set", L"resistance", L"", L"22 \u2126 "}, L"no RB value 22 \u2126 "},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.status, 2) << ToUtf8(c.problem);
        EXPECT_EQ(run.err, L"korvelctl: " + std::wstring(c.problem) + L"\n" + UsageText());
        EXPECT_EQ(run.out, L"");
    }
}

// Values the window's handlers reject come back with the handler's own text,
// and nothing goes out after the port has opened.
TEST(Usage, ValuesTheHandlersRejectAreUsageErrors) {
    struct Rejected {
        std::vector<std::wstring> args;
        const wchar_t* text;
    };
    const Rejected cases[] = {
        {{L"set", L"brightness", L"101"}, L"Invalid max brightness (0-100)."},
        {{L"set", L"brightness", L"-1"}, L"Invalid max brightness (0-100)."},
        {{L"set", L"period", L"abc"}, L"Invalid IR period."},
        {{L"send-ir", L"zz"}, L"Invalid IR to send."},
    };
    VirtualModule module;
    for (const auto& c : cases) {
        module.clearExchanges();
        const CliRun run = RunCli(OnModule(module, c.args));
        EXPECT_EQ(run.status, 2) << ToUtf8(c.text);
        EXPECT_EQ(run.err, std::wstring(c.text) + L"\n" + UsageText());
        EXPECT_EQ(module.exchangeCount(), 0u);
    }
}

}  // namespace
