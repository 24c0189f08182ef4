#pragma once
// The 43 controls of the main window as data, and where the stretching ones go
// for a client size. The Win32 program turns each kind into its class and
// style bits; the in-memory view builds its controls from the same table.

#include <vector>

enum class ControlKind {
    GroupBox,    // "BUTTON", BS_GROUPBOX
    Label,       // "STATIC"
    Display,     // "STATIC", SS_LEFTNOWORDWRAP, client edge
    DropDownList,// "ComboBox", CBS_DROPDOWNLIST
    PushButton,  // "BUTTON"
    CheckBox,    // "BUTTON", BS_CHECKBOX
    Edit,        // "EDIT", ES_AUTOHSCROLL, client edge
    Panel,       // "STATIC", WS_CLIPCHILDREN
    Tab,         // "SysTabControl32", WS_CLIPSIBLINGS
    List,        // "SysListView32", LVS_REPORT | LVS_SINGLESEL | WS_CLIPSIBLINGS, client edge
};

struct ControlSpec {
    ControlKind kind;
    const wchar_t* text;
    int x, y, width, height;
    int id;  // 0 for controls never addressed again
};

// In creation order.
extern const ControlSpec kMainControls[43];

struct Placement {
    int id;
    int x, y, width, height;
};

// The moves of a resize to client width w and height h, in the order they are made.
std::vector<Placement> LayoutPlacements(int w, int h);
