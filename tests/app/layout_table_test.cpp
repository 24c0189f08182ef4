#include "app/layout_table.h"

#include <algorithm>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "app/resource_ids.h"

namespace {

const ControlSpec* specOf(int id) {
    auto it = std::find_if(std::begin(kMainControls), std::end(kMainControls), [&](const auto& c) { return c.id == id; });
    return it == std::end(kMainControls) ? nullptr : &*it;
}

TEST(MainControls, AddressedControlsComeInCreationOrder) {
    std::vector<int> ids;
    for (const auto& control : kMainControls)
        if (control.id != 0) ids.push_back(control.id);
    const std::vector<int> expected = {
        2000, 2001, 2002, 2003, 2004, 2007, 2005, 2006, 1001, 1002, 1003, 1030, 1031, 1032, 1060, 1061, 1062,
        1066, 1063, 1064, 1065, 1040, 1041, 1042, 1043, 1044, 1050, 1051, 1190, 1191, 1200, 1300};
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), ids.size());
}

TEST(MainControls, KindsTextsAndPositionsOfTheValueBearingControls) {
    struct Row {
        int id;
        ControlKind kind;
        const wchar_t* text;
        int x, y, w, h;
    };
    const Row rows[] = {
        {IDC_PORT_COMBO, ControlKind::DropDownList, L"", 65, 25, 260, 200},
        {IDC_CONNECT, ControlKind::PushButton, L"Connect", 430, 25, 110, 24},
        {IDC_PRESSED_ACC, ControlKind::Display, L"-", 430, 142, 100, 24},
        {IDC_CURRENT_BRIGHTNESS, ControlKind::Display, L"-", 75, 215, 80, 24},
        {IDC_MAX_BRIGHTNESS, ControlKind::Edit, L"-", 320, 215, 80, 24},
        {IDC_IR_CODE, ControlKind::Edit, L"0x0", 95, 273, 100, 22},
        {IDC_IR_PERIOD, ControlKind::Edit, L"", 415, 273, 80, 22},
        {IDC_FULL_REPEAT, ControlKind::CheckBox, L"Full Repeat", 600, 276, 80, 20},
        {IDC_RB_DEFAULT, ControlKind::DropDownList, L"", 269, 336, 69, 200},
        {IDC_ACTIONS_PANEL, ControlKind::Panel, L"", 20, 278, 780, 237},
        {IDC_ACTIONS_TAB, ControlKind::Tab, L"", 0, 0, 100, 100},
        {IDC_ACTIONS_LIST, ControlKind::List, L"", 0, 0, 100, 100},
        {IDC_STATUS, ControlKind::Display, L"Ready.", 20, 542, 780, 24},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        const ControlSpec* spec = specOf(row.id);
        ASSERT_NE(spec, nullptr);
        EXPECT_EQ(spec->kind, row.kind);
        EXPECT_EQ(std::wstring(spec->text), row.text);
        EXPECT_EQ((std::vector<int>{spec->x, spec->y, spec->width, spec->height}),
                  (std::vector<int>{row.x, row.y, row.w, row.h}));
    }
    EXPECT_EQ(kMainControls[42].id, IDC_STATUS);
}

struct LayoutCase {
    int w, h;
    int actionsHeight, panelHeight, listHeight;
};

class Layout : public testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, StretchesTheActionsAreaAndPinsTheStatusToTheBottom) {
    const auto c = GetParam();
    const std::vector<Placement> placements = LayoutPlacements(c.w, c.h);
    std::vector<int> order;
    for (const auto& p : placements) order.push_back(p.id);
    EXPECT_EQ(order, (std::vector<int>{2000, 2001, 2002, 2003, 2004, 2007, 2005, 2006, 1300, 1190, 1191, 1200}));

    auto at = [&](int id) { return *std::find_if(placements.begin(), placements.end(), [&](auto& p) { return p.id == id; }); };
    auto box = [](const Placement& p) { return std::vector<int>{p.x, p.y, p.width, p.height}; };
    EXPECT_EQ(box(at(IDC_GROUP_CONNECTION)), (std::vector<int>{10, 5, c.w - 20, 52}));
    EXPECT_EQ(box(at(IDC_GROUP_RESISTANCE)), (std::vector<int>{10, 312, c.w - 20, 55}));
    EXPECT_EQ(box(at(IDC_GROUP_ACTIONS)), (std::vector<int>{10, 370, c.w - 20, c.actionsHeight}));
    EXPECT_EQ(box(at(IDC_GROUP_STATUS)), (std::vector<int>{10, c.h - 65, c.w - 20, 55}));
    EXPECT_EQ(box(at(IDC_STATUS)), (std::vector<int>{20, c.h - 45, c.w - 40, 24}));
    EXPECT_EQ(box(at(IDC_ACTIONS_PANEL)), (std::vector<int>{20, 394, c.w - 40, c.panelHeight}));
    EXPECT_EQ(box(at(IDC_ACTIONS_TAB)), (std::vector<int>{20, 394, c.w - 40, 28}));
    EXPECT_EQ(box(at(IDC_ACTIONS_LIST)), (std::vector<int>{20, 424, c.w - 40, c.listHeight}));
}

INSTANTIATE_TEST_SUITE_P(ClientSizes, Layout,
                         testing::Values(LayoutCase{864, 691, 246, 212, 182},  // 880 x 750 outer, default frame
                                         LayoutCase{880, 750, 305, 271, 241},
                                         LayoutCase{625, 625, 180, 146, 116},  // the minimum exactly
                                         LayoutCase{120, 90, 180, 146, 116}));

}  // namespace
