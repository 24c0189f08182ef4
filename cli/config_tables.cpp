#include "cli/config_tables.h"

const wchar_t* const kTableTitles[kTableCount] = {L"Media", L"Gears", L"Horn", L"ACC"};
const wchar_t* const kTableKeys[kTableCount] = {L"media", L"gears", L"horn", L"acc"};

namespace {

template <class R>
std::vector<ActionFields> fieldsOf(const std::vector<R>& records) {
    std::vector<ActionFields> fields;
    fields.reserve(records.size());
    for (const R& r : records) fields.push_back(FieldsOf(r));
    return fields;
}

}  // namespace

std::vector<ActionFields> TableFields(const ConfigData& data, std::uint32_t table) {
    switch (table) {
    case Media: return fieldsOf(data.media);
    case Gears: return fieldsOf(data.gears);
    case Horn: return fieldsOf(data.horn);
    case Acc: return fieldsOf(data.acc);
    default: return {};
    }
}

std::size_t TableSize(const ConfigData& data, std::uint32_t table) {
    switch (table) {
    case Media: return data.media.size();
    case Gears: return data.gears.size();
    case Horn: return data.horn.size();
    case Acc: return data.acc.size();
    default: return 0;
    }
}
