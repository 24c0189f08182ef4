// Port discovery on Linux and the widening of its 8-bit texts.
#include <gtest/gtest.h>

#include "device/port_info.h"

namespace {

TEST(Ports, EveryEntryNamesAnOpenablePathAndShowsIt) {
    auto first = listSerialPorts();
    auto second = listSerialPorts();
    ASSERT_EQ(first.size(), second.size()) << "a refresh of an unchanged machine gives the same list";
    for (std::size_t i = 0; i < first.size(); ++i) {
        SCOPED_TRACE(first[i].friendlyName);
        EXPECT_EQ(first[i].port, second[i].port) << "in the same order";
        EXPECT_EQ(first[i].port.rfind("/dev/", 0), 0u);
        const std::string shown = "(" + first[i].port + ")";
        ASSERT_GE(first[i].friendlyName.size(), shown.size());
        EXPECT_EQ(first[i].friendlyName.substr(first[i].friendlyName.size() - shown.size()), shown);
    }
}

TEST(Ports, ToWideReadsUtf8AndFallsBackToOneCharacterPerByte) {
    EXPECT_EQ(toWide(""), L"");
    EXPECT_EQ(toWide("USB Serial Device (COM3)"), L"USB Serial Device (COM3)");
    EXPECT_EQ(toWide("Adapt\xC3\xA9 (COM4)"), L"Adapt\u00E9 (COM4)");
    EXPECT_EQ(toWide("Adapt\xE9 (COM4)"), L"Adapt\u00E9 (COM4)") << "not UTF-8: Latin-1";
    EXPECT_EQ(toWide("\xE2\x84\xA6"), L"\u2126");
}

}  // namespace
