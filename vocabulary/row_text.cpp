#include "vocabulary/row_text.h"

#include "vocabulary/auto_base.h"
#include "vocabulary/catalogues.h"
#include "vocabulary/cell_text.h"

namespace {

std::wstring Mark(bool set) { return set ? CheckMark : L""; }

}  // namespace

const wchar_t* const kColumnTitles[kColumnCount] = {
    L"Index", L"Button", L"IR", L"Repeat", L"L1", L"L2", L"L3", L"L4", L"H1",
    L"H2",    L"H3",     L"H4", L"Toggle", L"Invert", L"Store", L"RA", L"RB",
};

std::wstring ActionCellText(std::uint32_t table, const ActionFields& fields, int column) {
    switch (column) {
    case kButtonColumn: return FormatButton(table, fields.button);
    case kIrColumn: return FormatIrCode(fields.irCode);
    case kRepeatColumn: return Mark(fields.flags & kFlagRepeat);
    case kToggleColumn: return Mark(fields.flags & kFlagToggle);
    case kInvertColumn: return Mark(fields.flags & kFlagInvert);
    case kStoreColumn: return Mark(fields.flags & kFlagStore);
    case kRaColumn: return ResistorAName(fields.resistors);
    case kRbColumn: return ResistorBName(fields.resistors);
    default: break;
    }
    if (column >= kFirstLineColumn && column < kFirstLineColumn + 8) return Mark(fields.lines >> (column - kFirstLineColumn) & 1);
    return {};
}

std::optional<BadInput> ReadActionRow(std::uint32_t table, const RowCells& cells, ActionFields& fields) {
    const AutoBaseNumber ir = ParseAutoBase(cells[kIrColumn]);
    if (!ir.valid) return BadInput::IrCode;
    ActionFields read;
    read.irCode = ir.value;
    if (IsChecked(cells[kRepeatColumn])) read.flags |= kFlagRepeat;
    for (int i = 0; i < 8; ++i)
        if (IsChecked(cells[kFirstLineColumn + i])) read.lines |= static_cast<std::uint8_t>(1u << i);
    if (IsChecked(cells[kToggleColumn])) read.flags |= kFlagToggle;
    if (IsChecked(cells[kInvertColumn])) read.flags |= kFlagInvert;
    if (IsChecked(cells[kStoreColumn])) read.flags |= kFlagStore;
    std::uint16_t ra = 0, rb = 0;
    if (!ResistorACode(cells[kRaColumn], ra)) return BadInput::RaName;
    if (!ResistorBCode(cells[kRbColumn], rb)) return BadInput::RbName;
    read.resistors = static_cast<std::uint16_t>(ra | rb);
    if (table >= kTableCount) return BadInput::Table;
    std::uint32_t code = 0;
    if (!ParseButton(table, cells[kButtonColumn], code) || code > (table == Acc ? 0xFFFFu : 0xFFu))
        return BadInput::Button;
    read.button = static_cast<std::uint16_t>(code);
    fields = read;
    return std::nullopt;
}
