#pragma once
// A configuration as the window shows it: the settings under their captions,
// each table in the actions list view's columns.

#include <cstdint>
#include <string>
#include <vector>

#include "cli/session.h"
#include "config/cfg_codec.h"

// The label in front of a control of the window ("IR Period (ms):"), or a
// check box's own text with a colon.
std::wstring ControlCaption(int id);

struct SettingText {
    std::wstring caption;  // "Max brightness (0-100):"
    std::wstring value;    // "80"
};

// Max brightness, IR period, full repeat, RA default, RB default. An RA value
// that is no catalogue entry shows as its bits in hexadecimal.
std::vector<SettingText> SettingTexts(const HeldSettings& settings);

// "Caption value", with no blank at the end when the value is empty.
std::wstring SettingLine(const SettingText& setting);

struct TableText {
    std::vector<std::wstring> titles;            // the 17 column titles
    std::vector<std::vector<std::wstring>> rows;  // the cells of each row
};

// The table as the list view shows it, filled by the window's own code.
TableText ListTable(Session& session, const ConfigData& data, std::uint32_t table);

// Settings, then each table under its tab title, as lines.
std::vector<std::wstring> ConfigLines(Session& session, const ConfigData& data);
