#include "web/web_view.h"

#include <cstdlib>
#include <string_view>

#include <emscripten.h>

#include "app/layout_table.h"
#include "app/resource_ids.h"
#include "device/module_config.h"
#include "device/text.h"

// Each call hands its arguments to the page's view object; texts that come
// back are UTF-8 in memory the module frees.
EM_JS(void, JsAddControl, (const char* kind, const char* text, int id, int group, int labelFor), {
    Module.view.addControl(UTF8ToString(kind), UTF8ToString(text), id, group, labelFor);
});
EM_JS(void, JsAddTab, (const char* title), { Module.view.addTab(UTF8ToString(title)); });
EM_JS(void, JsSetText, (int id, const char* text), { Module.view.setText(id, UTF8ToString(text)); });
EM_JS(char*, JsGetText, (int id), { return allocateUTF8(Module.view.getText(id)); });
EM_JS(void, JsSetChecked, (int id, int checked), { Module.view.setChecked(id, !!checked); });
EM_JS(int, JsIsChecked, (int id), { return Module.view.isChecked(id) ? 1 : 0; });
EM_JS(void, JsEnable, (int id, int enabled), { Module.view.enable(id, !!enabled); });
EM_JS(void, JsComboReset, (int id), { Module.view.comboReset(id); });
EM_JS(void, JsComboAdd, (int id, const char* text), { Module.view.comboAdd(id, UTF8ToString(text)); });
EM_JS(void, JsComboSelect, (int id, int index), { Module.view.comboSelect(id, index); });
EM_JS(int, JsComboFindExact, (int id, const char* text), {
    return Module.view.comboFindExact(id, UTF8ToString(text));
});
EM_JS(int, JsComboSelection, (int id), { return Module.view.comboSelection(id); });
EM_JS(int, JsTabSelection, (), { return Module.view.tabSelection(); });
EM_JS(void, JsTabSelect, (int index), { Module.view.tabSelect(index); });
EM_JS(void, JsListDeleteAllItems, (), { Module.view.listDeleteAllItems(); });
EM_JS(int, JsListDeleteFirstColumn, (), { return Module.view.listDeleteFirstColumn() ? 1 : 0; });
EM_JS(void, JsListInsertColumn, (int index, const char* title, int width, int centred), {
    Module.view.listInsertColumn(index, UTF8ToString(title), width, !!centred);
});
EM_JS(int, JsListInsertRow, (int index, const char* text), {
    return Module.view.listInsertRow(index, UTF8ToString(text));
});
EM_JS(void, JsListSetCell, (int row, int column, const char* text), {
    Module.view.listSetCell(row, column, UTF8ToString(text));
});
EM_JS(char*, JsListCell, (int row, int column), { return allocateUTF8(Module.view.listCell(row, column)); });
EM_JS(int, JsListRowCount, (), { return Module.view.listRowCount(); });
EM_JS(void, JsStartPollTimer, (unsigned periodMs), { Module.view.startPollTimer(periodMs); });
EM_JS(void, JsStopPollTimer, (), { Module.view.stopPollTimer(); });
EM_JS(void, JsOpenIrEditor, (int row, int column, const char* text), {
    Module.view.openIrEditor(row, column, UTF8ToString(text));
});
EM_JS(char*, JsIrEditorText, (), { return allocateUTF8(Module.view.irEditorText()); });
EM_JS(void, JsCloseIrEditor, (), { Module.view.closeIrEditor(); });
EM_JS(void, JsOpenComboEditor, (int row, int column, int editable, const char* items, int count, const char* original), {
    const list = count ? UTF8ToString(items).split('\n') : [];
    Module.view.openComboEditor(row, column, !!editable, list, UTF8ToString(original));
});
EM_JS(char*, JsComboEditorChoice, (), { return allocateUTF8(Module.view.comboEditorChoice()); });
EM_JS(void, JsCloseComboEditor, (), { Module.view.closeComboEditor(); });

// The file dialogs. An opened file is copied into the module's own file
// system, where the configuration code reads it; a file to save is written
// there first and handed to the browser afterwards.
EM_ASYNC_JS(char*, JsAskOpenFile, (), {
    const file = await Module.view.askOpenFile();
    if (!file) return 0;
    const path = '/tmp/' + file.name.split('/').join('_');
    FS.writeFile(path, file.bytes);
    return allocateUTF8(path);
});
EM_ASYNC_JS(int, JsAskSaveFile, (), { return (await Module.view.askSaveFile()) ? 1 : 0; });
EM_ASYNC_JS(void, JsDeliverFile, (const char* pathText), {
    const path = UTF8ToString(pathText);
    if (!FS.analyzePath(path).exists) return;
    const bytes = FS.readFile(path);
    FS.unlink(path);
    await Module.view.deliverSavedFile(bytes);
});

namespace {

constexpr const char* kSavePath = "/tmp/korvel.cfg";

std::string Utf8(const std::wstring& text) { return ToUtf8(text); }

// Takes a text the page's script allocated.
std::wstring Taken(char* utf8, std::size_t limit = std::wstring::npos) {
    std::wstring text;
    if (!FromUtf8(utf8 ? utf8 : "", text)) text.clear();
    std::free(utf8);
    return text.substr(0, limit);
}

const char* KindName(const ControlSpec& spec) {
    if (spec.id == IDC_STATUS) return "status";
    switch (spec.kind) {
    case ControlKind::GroupBox: return "group";
    case ControlKind::Label: return "label";
    case ControlKind::Display: return "display";
    case ControlKind::DropDownList: return "select";
    case ControlKind::PushButton: return "button";
    case ControlKind::CheckBox: return "checkbox";
    case ControlKind::Edit: return "edit";
    case ControlKind::Panel: return "panel";
    case ControlKind::Tab: return "tabs";
    case ControlKind::List: return "list";
    }
    return "label";
}

struct Box {
    int x, y, width, height;
    bool holds(const Box& inner) const {
        return inner.x >= x && inner.y >= y && inner.x < x + width && inner.y < y + height;
    }
};

// Where a control sits in the window at a size where every group has room:
// the stretching ones where a resize puts them, the others where they are made.
Box PlacedBox(const ControlSpec& spec) {
    for (const Placement& placed : LayoutPlacements(820, 700))
        if (placed.id == spec.id) return {placed.x, placed.y, placed.width, placed.height};
    return {spec.x, spec.y, spec.width, spec.height};
}

}  // namespace

void WebView::build() {
    const std::size_t count = std::size(kMainControls);
    for (std::size_t i = 0; i < count; ++i) {
        const ControlSpec& spec = kMainControls[i];
        int group = 0;
        if (spec.kind != ControlKind::GroupBox)
            for (const ControlSpec& outer : kMainControls)
                if (outer.kind == ControlKind::GroupBox && PlacedBox(outer).holds(PlacedBox(spec))) group = outer.id;
        // A label names the control made right after it.
        const int labelFor = spec.kind == ControlKind::Label && i + 1 < count ? kMainControls[i + 1].id : 0;
        JsAddControl(KindName(spec), Utf8(spec.text).c_str(), spec.id, group, labelFor);
    }
    for (const TableInfo& table : kTables) JsAddTab(Utf8(table.title).c_str());
}

void WebView::deliverSavedFile() {
    if (!saveAsked) return;
    saveAsked = false;
    JsDeliverFile(kSavePath);
}

bool WebView::hasControl(int id) const {
    for (const ControlSpec& spec : kMainControls)
        if (spec.id == id && id != 0) return true;
    return false;
}

void WebView::setText(int id, const std::wstring& text) { JsSetText(id, Utf8(text).c_str()); }
std::wstring WebView::getText(int id) const { return Taken(JsGetText(id)); }
void WebView::setChecked(int id, bool checked) { JsSetChecked(id, checked); }
bool WebView::isChecked(int id) const { return JsIsChecked(id) != 0; }
void WebView::enable(int id, bool enabled) { JsEnable(id, enabled); }

void WebView::comboReset(int id) { JsComboReset(id); }
void WebView::comboAdd(int id, const std::wstring& text) { JsComboAdd(id, Utf8(text).c_str()); }
void WebView::comboSelect(int id, int index) { JsComboSelect(id, index); }
int WebView::comboFindExact(int id, const std::wstring& text) const { return JsComboFindExact(id, Utf8(text).c_str()); }
int WebView::comboSelection(int id) const { return JsComboSelection(id); }

int WebView::tabSelection() const { return JsTabSelection(); }
void WebView::tabSelect(int index) { JsTabSelect(index); }

bool WebView::hasList() const { return true; }
void WebView::listDeleteAllItems() { JsListDeleteAllItems(); }
bool WebView::listDeleteFirstColumn() { return JsListDeleteFirstColumn() != 0; }
void WebView::listInsertColumn(int index, const std::wstring& title, int width, ColumnAlign align) {
    JsListInsertColumn(index, Utf8(title).c_str(), width, align == ColumnAlign::Centre);
}
int WebView::listInsertRow(int index, const std::wstring& text) { return JsListInsertRow(index, Utf8(text).c_str()); }
void WebView::listSetCell(int row, int column, const std::wstring& text) {
    JsListSetCell(row, column, Utf8(text).c_str());
}
// Read as the window reads a cell: into 100 units, the terminator included.
std::wstring WebView::listCell(int row, int column) const { return Taken(JsListCell(row, column), 99); }
int WebView::listRowCount() const { return JsListRowCount(); }

void WebView::startPollTimer(unsigned periodMs) { JsStartPollTimer(periodMs); }
void WebView::stopPollTimer() { JsStopPollTimer(); }

void WebView::openIrEditor(int row, int column, const std::wstring& text) {
    JsOpenIrEditor(row, column, Utf8(text).c_str());
}
std::wstring WebView::irEditorText() const { return Taken(JsIrEditorText()); }
void WebView::closeIrEditor() { JsCloseIrEditor(); }

void WebView::openComboEditor(int row, int column, ComboEditorStyle style, const std::vector<std::wstring>& items,
                              const std::wstring& original) {
    std::string list;
    for (std::size_t i = 0; i < items.size(); ++i) list += (i ? "\n" : "") + Utf8(items[i]);
    JsOpenComboEditor(row, column, style == ComboEditorStyle::EditableDropDown, list.c_str(),
                      static_cast<int>(items.size()), Utf8(original).c_str());
}
// The editable field is read as the window reads it: into 128 units.
std::wstring WebView::comboEditorChoice() const { return Taken(JsComboEditorChoice(), 127); }
void WebView::closeComboEditor() { JsCloseComboEditor(); }

std::optional<std::wstring> WebView::askSaveFileName() {
    if (!JsAskSaveFile()) return std::nullopt;
    saveAsked = true;
    return WidenText(kSavePath);
}

std::optional<std::wstring> WebView::askOpenFileName() {
    char* path = JsAskOpenFile();
    if (!path) return std::nullopt;
    return Taken(path);
}
