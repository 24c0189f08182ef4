#pragma once
// The handlers behind the Device, Dimmer, IR Remote and Resistance Remote groups.

#include "actions/auto_base.h"
#include "app/app_state.h"

// The control's text read as a number with automatic base.
AutoBaseNumber ParseNumberField(App& app, int controlId);

// Each handler's status text for the module's status 0, and the start of its
// text for any other status, which the status code follows.
struct HandlerTexts {
    const wchar_t* success;
    const wchar_t* failure;
};
inline constexpr HandlerTexts kSaveTexts{L"Config saved to module.", L"Save failed, response: "};
inline constexpr HandlerTexts kLoadTexts{L"Config loaded from module.", L"Load failed, response: "};
inline constexpr HandlerTexts kResetTexts{L"Default config restored.", L"Reset failed, response: "};
inline constexpr HandlerTexts kSendIrTexts{L"IR code sent", L"IR failed to send, response: "};
inline constexpr HandlerTexts kIrPeriodTexts{L"IR period set.", L"IR period set failed, response: "};
inline constexpr HandlerTexts kFullRepeatTexts{L"IR full repeat toggled.", L"Toggle full repeat failed, response: "};
inline constexpr HandlerTexts kResistanceTexts{L"Default resistance updated.",
                                               L"Updating default resistance failed, response: "};
inline constexpr HandlerTexts kBrightnessTexts{L"Max brightness set.", L"Max brightness set failed, response: "};

void SaveModuleConfig(App& app);
void LoadModuleConfig(App& app);
void ResetModuleConfig(App& app);
void SendIrCode(App& app);
void ApplyIrRepeatPeriod(App& app);
void ToggleIrFullRepeat(App& app);
void ApplyDefaultResistance(App& app);
void ApplyMaxBrightness(App& app);
