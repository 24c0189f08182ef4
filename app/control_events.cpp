#include "app/control_events.h"

#include <utility>

#include "app/resource_ids.h"

namespace {

constexpr std::pair<int, UiEvent> kControlEvents[] = {
    {IDC_REFRESH, UiEvent::Refresh},           {IDC_CONNECT, UiEvent::Connect},
    {IDC_SAVE_TO_DEVICE, UiEvent::SaveToDevice}, {IDC_LOAD_FROM_DEVICE, UiEvent::LoadFromDevice},
    {IDC_RESET, UiEvent::Reset},               {IDC_IR_SEND, UiEvent::SendIr},
    {IDC_IR_PERIOD_SET, UiEvent::SetIrPeriod}, {IDC_FULL_REPEAT, UiEvent::ToggleFullRepeat},
    {IDC_RA_DEFAULT, UiEvent::ResistanceChosen}, {IDC_RB_DEFAULT, UiEvent::ResistanceChosen},
    {IDC_MAX_BRIGHTNESS_SET, UiEvent::SetMaxBrightness}, {IDM_FILE_SAVE, UiEvent::FileSave},
    {IDM_FILE_OPEN, UiEvent::FileOpen},
};

}  // namespace

std::optional<UiEvent> EventOfControl(int id) {
    for (const auto& [controlId, event] : kControlEvents)
        if (controlId == id) return event;
    return std::nullopt;
}
