#include "app/layout_table.h"

#include <algorithm>

#include "app/resource_ids.h"

using K = ControlKind;

const ControlSpec kMainControls[43] = {
    {K::GroupBox, L"Connection", 10, 5, 800, 52, IDC_GROUP_CONNECTION},
    {K::GroupBox, L"Device", 10, 60, 800, 55, IDC_GROUP_DEVICE},
    {K::GroupBox, L"Pressed Buttons", 10, 118, 800, 75, IDC_GROUP_PRESSED},
    {K::GroupBox, L"Dimmer", 10, 196, 800, 55, IDC_GROUP_DIMMER},
    {K::GroupBox, L"IR Remote", 10, 254, 800, 55, IDC_GROUP_IR},
    {K::GroupBox, L"Resistance Remote", 10, 312, 800, 55, IDC_GROUP_RESISTANCE},
    {K::GroupBox, L"Actions", 10, 370, 800, 262, IDC_GROUP_ACTIONS},
    {K::GroupBox, L"Status", 10, 580, 800, 55, IDC_GROUP_STATUS},
    {K::Label, L"Port:", 20, 27, 40, 18, 0},
    {K::DropDownList, L"", 65, 25, 260, 200, IDC_PORT_COMBO},
    {K::PushButton, L"Refresh", 335, 25, 90, 24, IDC_REFRESH},
    {K::PushButton, L"Connect", 430, 25, 110, 24, IDC_CONNECT},
    {K::PushButton, L"Save to device", 20, 80, 120, 24, IDC_SAVE_TO_DEVICE},
    {K::PushButton, L"Load from device", 150, 80, 120, 24, IDC_LOAD_FROM_DEVICE},
    {K::PushButton, L"Reset", 280, 80, 90, 24, IDC_RESET},
    {K::Label, L"Media:", 20, 147, 45, 18, 0},
    {K::Display, L"-", 65, 142, 70, 24, IDC_PRESSED_MEDIA},
    {K::Label, L"Gears:", 145, 147, 45, 18, 0},
    {K::Display, L"-", 190, 142, 70, 24, IDC_PRESSED_GEARS},
    {K::Label, L"Horn:", 270, 147, 40, 18, 0},
    {K::Display, L"-", 310, 142, 70, 24, IDC_PRESSED_HORN},
    {K::Label, L"ACC:", 395, 147, 35, 18, 0},
    {K::Display, L"-", 430, 142, 100, 24, IDC_PRESSED_ACC},
    {K::Label, L"Current:", 20, 220, 52, 18, 0},
    {K::Display, L"-", 75, 215, 80, 24, IDC_CURRENT_BRIGHTNESS},
    {K::Label, L"Max brightness (0-100):", 175, 220, 160, 18, 0},
    {K::Edit, L"-", 320, 215, 80, 24, IDC_MAX_BRIGHTNESS},
    {K::PushButton, L"Set", 410, 215, 70, 24, IDC_MAX_BRIGHTNESS_SET},
    {K::Label, L"Send code:", 20, 278, 70, 18, 0},
    {K::Edit, L"0x0", 95, 273, 100, 22, IDC_IR_CODE},
    {K::PushButton, L"Send", 205, 273, 90, 24, IDC_IR_SEND},
    {K::Label, L"IR Period (ms):", 320, 278, 80, 18, 0},
    {K::Edit, L"", 415, 273, 80, 22, IDC_IR_PERIOD},
    {K::PushButton, L"Set", 505, 273, 70, 24, IDC_IR_PERIOD_SET},
    {K::CheckBox, L"Full Repeat", 600, 276, 80, 20, IDC_FULL_REPEAT},
    {K::Label, L"RA default:", 20, 341, 69, 18, 0},
    {K::DropDownList, L"", 94, 336, 69, 200, IDC_RA_DEFAULT},
    {K::Label, L"RB default:", 195, 341, 69, 18, 0},
    {K::DropDownList, L"", 269, 336, 69, 200, IDC_RB_DEFAULT},
    {K::Panel, L"", 20, 278, 780, 237, IDC_ACTIONS_PANEL},
    {K::Tab, L"", 0, 0, 100, 100, IDC_ACTIONS_TAB},
    {K::List, L"", 0, 0, 100, 100, IDC_ACTIONS_LIST},
    {K::Display, L"Ready.", 20, 542, 780, 24, IDC_STATUS},
};

std::vector<Placement> LayoutPlacements(int w, int h) {
    // The actions area takes what the fixed groups leave, but never less than
    // its minimum; at small sizes the status group slides up over it instead.
    const int a = std::max(h - 445, 180);
    const int b = std::max(a - 34, 80);
    return {
        {IDC_GROUP_CONNECTION, 10, 5, w - 20, 52},
        {IDC_GROUP_DEVICE, 10, 60, w - 20, 55},
        {IDC_GROUP_PRESSED, 10, 118, w - 20, 75},
        {IDC_GROUP_DIMMER, 10, 196, w - 20, 55},
        {IDC_GROUP_IR, 10, 254, w - 20, 55},
        {IDC_GROUP_RESISTANCE, 10, 312, w - 20, 55},
        {IDC_GROUP_ACTIONS, 10, 370, w - 20, a},
        {IDC_GROUP_STATUS, 10, h - 65, w - 20, 55},
        {IDC_STATUS, 20, h - 45, w - 40, 24},
        {IDC_ACTIONS_PANEL, 20, 394, w - 40, b},
        {IDC_ACTIONS_TAB, 20, 394, w - 40, 28},
        {IDC_ACTIONS_LIST, 20, 424, w - 40, b - 30},
    };
}
