#include "cli/file_names.h"

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "config/native_path.h"
#include "device/port_info.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

bool SafeInFileName(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'.' ||
           c == L'-' || c == L'_';
}

// An environment variable as text; empty when unset.
std::wstring Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? toWide(value) : L"";
}

// The time stamp of a name: no ':' so that every file system takes it.
std::wstring Stamp(std::time_t when) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    wchar_t text[32];
    std::wcsftime(text, std::size(text), L"%Y-%m-%d-%H%M%S", &local);
    return text;
}

}  // namespace

#ifdef _WIN32
const wchar_t* const kPreviousFolderHint = L"%LOCALAPPDATA%\\Korvel\\previous";
#else
const wchar_t* const kPreviousFolderHint = L"$XDG_DATA_HOME/korvel/previous or ~/.local/share/korvel/previous";
#endif

std::wstring PortFileName(const std::wstring& port) {
    std::wstring name = port;
    for (const wchar_t* prefix : {L"/dev/", L"\\\\.\\"})
        if (name.starts_with(prefix)) name.erase(0, std::wstring_view(prefix).size());
    for (wchar_t& c : name)
        if (!SafeInFileName(c)) c = L'_';
    name.erase(0, name.find_first_not_of(L'_'));
    return name.empty() ? L"port" : name;
}

std::wstring FileForPort(const std::wstring& file, const std::wstring& port) {
    std::size_t nameStart = file.size();
    while (nameStart > 0 && !IsSeparator(file[nameStart - 1])) --nameStart;
    // A name's leading dot starts no extension (".cfg" is a name).
    const std::size_t dot = file.rfind(L'.');
    const bool extension = dot != std::wstring::npos && dot > nameStart;
    std::wstring named = file;
    named.insert(extension ? dot : file.size(), L"-" + PortFileName(port));
    return named;
}

std::wstring DefaultPreviousFolder() {
#ifdef _WIN32
    const std::wstring local = Environment("LOCALAPPDATA");
    return local.empty() ? L"" : local + L"\\Korvel\\previous";
#else
    // A relative XDG_DATA_HOME is to be ignored, as the base directory rules say.
    const std::wstring data = Environment("XDG_DATA_HOME");
    if (data.starts_with(L"/")) return data + L"/korvel/previous";
    const std::wstring home = Environment("HOME");
    return home.empty() ? L"" : home + L"/.local/share/korvel/previous";
#endif
}

std::wstring PreviousConfigPath(const std::wstring& folder, const std::wstring& port, std::time_t when) {
    const std::wstring stem = PortFileName(port) + L"-" + Stamp(when);
    std::wstring separator = folder.empty() || IsSeparator(folder.back()) ? L"" : L"/";
#ifdef _WIN32
    if (!separator.empty()) separator = L"\\";
#endif
    std::error_code error;
    std::wstring path = folder + separator + stem + L".cfg";
    for (int n = 2; std::filesystem::exists(NativePath(path), error); ++n)
        path = folder + separator + stem + (n < 10 ? L"_0" : L"_") + std::to_wstring(n) + L".cfg";
    return path;
}

std::optional<KeptName> ReadKeptName(const std::wstring& fileName) {
    static const std::wregex kName(LR"((.+)-(\d{4}-\d\d-\d\d)-(\d\d)(\d\d)(\d\d)(?:_(\d\d+))?\.cfg)");
    std::wsmatch parts;
    if (!std::regex_match(fileName, parts, kName)) return std::nullopt;
    KeptName name{parts[1], parts[2].str() + L" " + parts[3].str() + L":" + parts[4].str() + L":" + parts[5].str()};
    if (parts[6].matched) name.number = static_cast<unsigned>(std::stoul(parts[6].str()));
    return name;
}
