#include "actions/row_text.h"

#include "actions/catalogues.h"
#include "actions/cell_text.h"

namespace {

std::wstring mark(bool set) { return set ? CheckMark : L""; }

}  // namespace

std::wstring ActionCellText(std::uint32_t table, const ActionFields& fields, int column) {
    switch (column) {
    case kButtonColumn: return FormatButton(table, fields.button);
    case kIrColumn: return FormatIrCode(fields.irCode);
    case kRepeatColumn: return mark(fields.flags & kFlagRepeat);
    case kToggleColumn: return mark(fields.flags & kFlagToggle);
    case kInvertColumn: return mark(fields.flags & kFlagInvert);
    case kStoreColumn: return mark(fields.flags & kFlagStore);
    case kRaColumn: return ResistorAName(fields.resistors);
    case kRbColumn: return ResistorBName(fields.resistors);
    default: break;
    }
    if (column >= kFirstLineColumn && column < kFirstLineColumn + 8) return mark(fields.lines >> (column - kFirstLineColumn) & 1);
    return {};
}
