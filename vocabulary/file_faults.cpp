#include "vocabulary/file_faults.h"

#include "device/module_config.h"
#include "device/text.h"

std::wstring FaultText(FileFault fault, const std::string& reason) {
    switch (fault) {
    case FileFault::CannotCreate: return L"Failed to open file for saving";
    case FileFault::WriteFailed: return L"Failed while writing config";
    case FileFault::CannotOpen: return L"Failed to open file for loading";
    case FileFault::NoHeader: return L"Failed to read config header";
    case FileFault::BadMagic: return L"Invalid config file";
    case FileFault::BadVersion: return L"Unsupported config version";
    case FileFault::BadJson: return L"Invalid config file: " + WidenText(reason);
    case FileFault::ShortBody: break;
    }
    return L"Failed while reading config";
}

std::wstring TooManyRowsText(std::uint32_t table) {
    return std::wstring(kTables[table % kTableCount].title) + L" table has more than " + std::to_wstring(kMaxWireRows) +
           L" rows; nothing written.";
}
