#include <functional>
#include <stdexcept>

#include <gtest/gtest.h>

#include "tests/app/app_harness.h"

namespace {

struct Escape {
    const char* name;
    std::function<void()> raise;
    std::wstring status;
};
// Without a printer of its own, gtest shows a parameter byte by byte, padding
// included, and valgrind reports the padding as uninitialised.
void PrintTo(const Escape& c, std::ostream* os) { *os << c.name; }

class SafetyNet : public testing::TestWithParam<Escape> {};

TEST_P(SafetyNet, TurnsEveryEscapeIntoOneStatusText) {
    AppHarness h;
    h.connect();
    RunGuarded(h.app, GetParam().raise);
    EXPECT_EQ(h.status(), GetParam().status);
    // Only a serial failure ends the connection.
    const bool serial = GetParam().status.starts_with(L"Serial error");
    EXPECT_EQ(h.app.link.connected, !serial);
    EXPECT_EQ(h.view.pollTimerRunning(), !serial);
    EXPECT_EQ(h.view.getText(IDC_CONNECT), serial ? L"Connect" : L"Disconnect");
    EXPECT_EQ(h.view.isEnabled(IDC_ACTIONS_LIST), !serial);
}

INSTANTIATE_TEST_SUITE_P(
    Clauses, SafetyNet,
    testing::Values(
        Escape{"Protocol", [] { throw ProtocolError(); }, L"Protocol error occured: Fewer bytes than expected."},
        Escape{"SerialRead", [] { throw SerialError("Read failed."); }, L"Serial error occured: Read failed."},
        Escape{"SerialWithoutText", [] { throw SerialError(""); }, L"Serial error occured: Unknown exception"},
        Escape{"Runtime", [] { throw std::runtime_error("out of range"); }, L"Runtime error occured: out of range"},
        Escape{"RuntimeWithoutText", [] { throw std::runtime_error(""); }, L"Runtime error occured: Unknown exception"},
        Escape{"RuntimeKind", [] { throw std::range_error("bad range"); }, L"Runtime error occured: bad range"},
        Escape{"LogicError", [] { throw std::logic_error("not a runtime error"); }, L"An unknown error occured"},
        Escape{"NotAnException", [] { throw 42; }, L"An unknown error occured"},
        Escape{"EightBitText", [] { throw std::runtime_error("caf\xE9"); }, L"Runtime error occured: caf\u00E9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SafetyNet, KeepsWhatTheHandlerDidBeforeFailing) {
    AppHarness h;
    RunGuarded(h.app, [&] {
        SetStatusText(h.app, L"half-way");
        h.view.setText(IDC_IR_CODE, L"0x1234");
        throw std::runtime_error("stop");
    });
    EXPECT_EQ(h.view.getText(IDC_IR_CODE), L"0x1234");
    EXPECT_EQ(h.status(), L"Runtime error occured: stop");
}

}  // namespace
