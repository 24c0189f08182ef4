#include "app/win32/file_dialogs.h"

#include <commdlg.h>

std::optional<std::wstring> AskConfigFileName(HWND owner, bool save) {
    // Pairs of display text and pattern, each NUL-terminated, the list ended by an empty pair.
    static const wchar_t kFilters[] = L"Config Files (*.cfg)\0*.cfg\0All Files (*.*)\0*.*\0";
    wchar_t path[260] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilters;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = 260;
    dialog.lpstrDefExt = L"cfg";
    dialog.Flags = save ? OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT
                        : OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) return std::nullopt;
    return std::wstring(path);
}
