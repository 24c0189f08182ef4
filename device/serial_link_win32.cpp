// Win32 backend of SerialLink: a COM device opened with CreateFileW, DCB and
// COMMTIMEOUTS doing the timing in the driver.
#include "device/serial_link.h"

#include <windows.h>

#include "device/text.h"
#include "device/trace.h"

namespace {

// What an error of CreateFileW means for the user. A COM port that another
// program holds answers ERROR_ACCESS_DENIED, as it is opened without sharing.
OpenFault FaultOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return OpenFault::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY: return OpenFault::Busy;
    default: return OpenFault::Other;
    }
}

// The system's words for an error, without the line end.
std::string SystemText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words = length ? std::wstring(text, length) : L"error " + std::to_wstring(error);
    if (text) LocalFree(text);
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ')) words.pop_back();
    return ToUtf8(words);
}

}  // namespace

NativeHandle UnopenedHandle() { return nullptr; }
NativeHandle InvalidHandle() { return INVALID_HANDLE_VALUE; }

bool SerialLink::isOpen() const { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

void SerialLink::close() {
    if (isOpen()) CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
    connected = false;
}

bool SerialLink::open(std::string port) {
    if (isOpen()) {
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
    openFailure = {};
    received = 0;
    interrupted = false;
    // The device namespace prefix also reaches COM10 and above.
    std::string narrow = "\\\\.\\" + port;
    std::wstring path(narrow.begin(), narrow.end());
    Trace(TraceChannel::Console, L"Connecting to COM port.\n");

    auto fail = [this](OpenFault fault, DWORD error) {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        openFailure.fault = fault;
        openFailure.systemText = SystemText(error);
        return false;
    };
    handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return fail(FaultOf(error), error);
    }

    // Anything but a serial port (a file, a disk, a printer) has no comm state.
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(handle, &dcb)) return fail(OpenFault::NotSerial, GetLastError());
    dcb.BaudRate = CBR_115200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    if (!SetCommState(handle, &dcb)) return fail(OpenFault::Other, GetLastError());

    COMMTIMEOUTS ct{};
    ct.ReadIntervalTimeout = timeouts.readInterval;
    ct.ReadTotalTimeoutMultiplier = timeouts.readMultiplier;
    ct.ReadTotalTimeoutConstant = timeouts.readConstant;
    ct.WriteTotalTimeoutMultiplier = timeouts.writeMultiplier;
    ct.WriteTotalTimeoutConstant = timeouts.writeConstant;
    if (!SetCommTimeouts(handle, &ct)) return fail(OpenFault::Other, GetLastError());

    Sleep(timeouts.settleMs);
    PurgeComm(handle, PURGE_TXCLEAR | PURGE_RXCLEAR);
    return true;
}

void SerialLink::writeExact(const std::uint8_t* bytes, std::size_t n) {
    holdBackWhenStopped();
    DWORD written = 0;
    if (!WriteFile(handle, bytes, static_cast<DWORD>(n), &written, nullptr) || written != n)
        throw SerialError("Write failed.");
}

void SerialLink::readExact(std::uint8_t* buffer, std::size_t n) {
    DWORD got = 0;
    if (!ReadFile(handle, buffer, static_cast<DWORD>(n), &got, nullptr)) throw SerialError("Read failed.");
    received += got;
    if (got < n) throw ProtocolError();
}
