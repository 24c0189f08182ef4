#pragma once
// Drives the real main window in-process, as a user would through messages,
// and reads back what the user sees. Each test gets a fresh window and a fresh
// set of process-wide objects.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "app/win32/program.h"

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND control(int id) const { return GetDlgItem(window, id); }
    std::wstring text(int id) const;
    std::wstring status() const { return text(IDC_STATUS); }
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
    // A press of a push button or check box, which notifies the window.
    void click(int id);
    // A menu command or accelerator result.
    void command(int id);

    // Dispatches messages (accelerators first) for `ms` milliseconds.
    void pump(int ms);
    // Dispatches messages until `done` holds; false when `ms` ran out first.
    bool pumpUntil(const std::function<bool()>& done, int ms = 4000);

    // Refreshes the port list, selects the port shown as `name`, connects
    // and waits for the connected message.
    bool connect(const std::wstring& name = L"Korvel virtual module (COM7)");

    // The list view, a double-click on one of its cells (or at a point), and
    // the cell editor of a class open over it.
    HWND list() const { return control(IDC_ACTIONS_LIST); }
    RECT cellRect(int row, int column) const;
    void doubleClickAt(POINT point);
    void doubleClickCell(int row, int column);
    HWND cellEditor(const wchar_t* className) const { return FindWindowExW(list(), nullptr, className, nullptr); }

    std::unique_ptr<Program> program;
    HWND window = nullptr;
    HACCEL accelerators = nullptr;
    bool quitSeen = false;
    WPARAM exitCode = 99;
};

// A control's window class and text, and its rectangle in the parent's client pixels.
std::wstring ClassName(HWND hwnd);
RECT ClientRectIn(HWND hwnd, HWND parent);

// Runs `onDialog` once a dialog owned by `owner` is up (from inside the modal
// loop, on a thread timer); `open` then shows the dialog and returns when it
// has closed.
void WithDialog(HWND owner, const std::function<void(HWND)>& onDialog, const std::function<void()>& open);

// Registers or removes a Ports device as the set-up API lists them.
void RegisterPort(const std::wstring& slot, const std::wstring& com, const std::wstring& name);
void UnregisterPort(const std::wstring& slot);

// The exchanges the virtual module on COMn logged ("REQUEST -> REPLY" in hex),
// empty when the run has no log for it.
std::vector<std::string> ModuleLog(const std::string& com);
// The number of lines in the COM7 module's log once it has caught up with the
// exchanges so far.
std::size_t LogMark();
// The lines of the COM7 module's log from `from` on that are not live polls,
// once at least `atLeast` of them are there (or after two seconds).
std::vector<std::string> WritesSince(std::size_t from, std::size_t atLeast = 1);
// "01 02 FF -> 00": a logged exchange answered with status 0.
std::string Accepted(const std::vector<std::uint8_t>& request);
// A path in the run directory of scripts/test-wine (or the temp folder).
std::wstring RunFile(const std::wstring& name);
