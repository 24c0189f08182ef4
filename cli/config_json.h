#pragma once
// The JSON forms of --json: the records' and settings' fields by name, codes
// as numbers. One object per text, without a line end.

#include <string>

#include "actions/records.h"
#include "config/cfg_codec.h"

std::wstring JsonString(const std::wstring& text);
std::wstring JsonFields(const ActionFields& fields);
std::wstring JsonSettings(const HeldSettings& settings);
// {"settings": {...}, "media": [...], "gears": [...], "horn": [...], "acc": [...]}
std::wstring JsonConfig(const ConfigData& data);
