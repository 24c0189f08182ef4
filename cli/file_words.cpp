#include "cli/file_words.h"

#include "device/text.h"

namespace {

constexpr const wchar_t* kNothingWritten = L"; nothing was written.";

std::wstring Rows(std::size_t count) { return std::to_wstring(count) + (count == 1 ? L" row" : L" rows"); }

// What a file holds that is no configuration.
std::wstring NotAConfiguration(FileContent content) {
    switch (content) {
    case FileContent::Empty: return L"not a configuration file (it is empty)";
    case FileContent::Text: return L"not a configuration file (it starts with text)";
    case FileContent::Json:
        return L"not a configuration file (it holds JSON, which korvelctl reads from a name ending in .json)";
    case FileContent::Binary: return L"not a configuration file (its first bytes are those of another kind of file)";
    case FileContent::Cfg:
    case FileContent::Unknown: break;
    }
    return L"not a configuration file";
}

// Where a cut-short .cfg file ends.
std::wstring EndOf(const FileFacts& facts) {
    const std::wstring table = kTables[facts.table % kTableCount].title;
    std::wstring where = L"the header";
    if (facts.part == FilePart::RowCount) where = L"the row count of the " + table + L" table";
    if (facts.part == FilePart::Row) where = table + L" row " + std::to_wstring(facts.row);
    if (facts.part == FilePart::Settings) where = L"the settings";
    const std::uint64_t size = facts.size;
    return L"cut short: it ends after " + std::to_wstring(size) + (size == 1 ? L" byte, in " : L" bytes, in ") + where;
}

// "cannot create" with the system's reason after a colon, when it gave one.
std::wstring WithReason(const wchar_t* failed, SystemFault fault) {
    return fault == SystemFault::Unknown ? failed : failed + (L": " + SystemFaultWords(fault));
}

}  // namespace

std::wstring SystemFaultWords(SystemFault fault) {
    switch (fault) {
    case SystemFault::NotFound: return L"not found";
    case SystemFault::NoFolder: return L"no such folder";
    case SystemFault::PermissionDenied: return L"permission denied";
    case SystemFault::IsFolder: return L"it is a folder";
    case SystemFault::NoSpace: return L"no space left on the device";
    case SystemFault::ReadOnly: return L"read-only file system";
    case SystemFault::TooLarge: return L"larger than a file may grow here";
    case SystemFault::Unknown: break;
    }
    return L"the system gave no reason";
}

std::wstring FileFaultWords(const Outcome& outcome) {
    const FileFacts& facts = outcome.fileFacts;
    switch (outcome.file) {
    case FileFault::CannotOpen:
        // A missing file or folder says all there is.
        if (facts.system == SystemFault::NotFound || facts.system == SystemFault::NoFolder)
            return SystemFaultWords(facts.system);
        return WithReason(L"cannot open", facts.system);
    case FileFault::CannotCreate: return WithReason(L"cannot create", facts.system);
    case FileFault::WriteFailed: return WithReason(L"cannot write", facts.system);
    case FileFault::NoHeader:
    case FileFault::BadMagic:
        return facts.content == FileContent::Unknown && outcome.file == FileFault::NoHeader
                   ? EndOf(facts)
                   : NotAConfiguration(facts.content);
    case FileFault::BadVersion:
        return L"a configuration file of version " + std::to_wstring(facts.version) + L"; korvelctl reads version 2";
    case FileFault::ShortBody: return EndOf(facts);
    case FileFault::BadJson: break;
    }
    if (facts.content == FileContent::Cfg)
        return L"not a JSON configuration (it holds a .cfg configuration, which korvelctl reads from a name not "
               L"ending in .json)";
    return L"not a configuration: " + WidenText(outcome.error);
}

std::wstring FileFaultText(const Outcome& outcome, const std::wstring& file) {
    return file + L": " + FileFaultWords(outcome);
}

std::wstring RefusedFileText(const Outcome& outcome, const ModuleConfig& file, const std::wstring& name) {
    if (outcome.input == BadInput::TableTooLong) {
        std::size_t rows = 0;
        WithTable(file, outcome.table, [&](const auto& table) { rows = table.size(); });
        return name + L": its " + kTables[outcome.table % kTableCount].title + L" table has " + Rows(rows) +
               L", more than the " + std::to_wstring(kMaxWireRows) + L" a module can hold" + kNothingWritten;
    }
    return name + L": max brightness takes a number from 0 to " + std::to_wstring(kBrightnessPercentMax) + L", not " +
           std::to_wstring(file.settings.maxBrightness) + kNothingWritten;
}

std::wstring OtherLengthsText(const ModuleConfig& module, const ModuleConfig& file, const std::wstring& name) {
    std::wstring text;
    ForEachTable(module, [&](const TableInfo& info, const auto& rows) {
        WithTable(file, info.id, [&](const auto& fileRows) {
            if (fileRows.size() == rows.size()) return;
            text += (text.empty() ? L": the module's " : L"; the module's ") + std::wstring(info.title) +
                    L" table has " + Rows(rows.size()) + L", the file has " + std::to_wstring(fileRows.size());
        });
    });
    return text.empty() ? text : name + text + kNothingWritten;
}
