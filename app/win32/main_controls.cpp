#include "app/win32/main_controls.h"

#include <commctrl.h>

#include "app/layout_table.h"
#include "app/main_window.h"
#include "app/resource_ids.h"
#include "app/win32/action_list_proc.h"
#include "app/win32/list_view.h"
#include "app/win32/program_state.h"
#include "device/module_config.h"

namespace {

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::GroupBox: return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::Label: return {L"STATIC", 0, 0};
    case ControlKind::Display: return {L"STATIC", SS_LEFTNOWORDWRAP, WS_EX_CLIENTEDGE};
    case ControlKind::DropDownList: return {L"ComboBox", CBS_DROPDOWNLIST, 0};
    case ControlKind::PushButton: return {L"BUTTON", BS_PUSHBUTTON, 0};
    case ControlKind::CheckBox: return {L"BUTTON", BS_CHECKBOX, 0};
    case ControlKind::Edit: return {L"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Panel: return {L"STATIC", WS_CLIPCHILDREN, 0};
    case ControlKind::Tab: return {WC_TABCONTROLW, WS_CLIPSIBLINGS, 0};
    case ControlKind::List: return {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | WS_CLIPSIBLINGS, WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", 0, 0};
}

HWND CreateControl(const Program& program, HWND window, const ControlSpec& spec) {
    ControlClass cls = ClassOf(spec.kind);
    return CreateWindowExW(cls.exStyle, cls.name, spec.text, WS_CHILD | WS_VISIBLE | cls.style, spec.x, spec.y,
                           spec.width, spec.height, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                           program.instance, nullptr);
}

void AddTabs(HWND tab) {
    for (const TableInfo& table : kTables) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(table.title);
        SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(table.id), reinterpret_cast<LPARAM>(&item));
    }
}

void PrepareList(Program& program, HWND list) {
    SetWindowSubclass(list, ActionListProc, 1, reinterpret_cast<DWORD_PTR>(&program.app));
    ListView{list}.setExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
}

// The tab control, then the list view, above the panel they cover.
void RaiseActionsArea(HWND window) {
    for (int id : {IDC_ACTIONS_TAB, IDC_ACTIONS_LIST})
        SetWindowPos(GetDlgItem(window, id), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

HFONT CreateUiFont() {
    return CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, VARIABLE_PITCH, L"Segoe UI");
}

BOOL CALLBACK SetFontOn(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

}  // namespace

void CreateMainControls(Program& program, HWND window) {
    for (const ControlSpec& spec : kMainControls) {
        HWND control = CreateControl(program, window, spec);
        if (spec.kind == ControlKind::Tab) {
            AddTabs(control);  // the selection follows with the columns
        } else if (spec.kind == ControlKind::List) {
            PrepareList(program, control);
            RaiseActionsArea(window);
        }
    }
    // The font is never released: it lives as long as the process.
    program.uiFont = CreateUiFont();
    EnumChildWindows(window, SetFontOn, reinterpret_cast<LPARAM>(program.uiFont));
    InitialiseMainControls(program.app);
}

void LayoutMainWindow(Program& program, int width, int height) {
    HWND window = program.view.window;
    bool actionsArea = GetDlgItem(window, IDC_ACTIONS_TAB) && GetDlgItem(window, IDC_ACTIONS_LIST);
    for (const Placement& placement : LayoutPlacements(width, height)) {
        bool inActionsArea = placement.id == IDC_ACTIONS_TAB || placement.id == IDC_ACTIONS_LIST;
        HWND control = GetDlgItem(window, placement.id);
        if (!control || (inActionsArea && !actionsArea)) continue;
        MoveWindow(control, placement.x, placement.y, placement.width, placement.height, TRUE);
    }
    if (actionsArea) RaiseActionsArea(window);
}
