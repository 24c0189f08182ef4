// Win32 backend of SerialLink: a COM device opened with CreateFileW, DCB and
// COMMTIMEOUTS doing the timing in the driver.
#include "device/serial_link.h"


#include <windows.h>

#include "device/trace.h"

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
    // The device namespace prefix also reaches COM10 and above.
    std::string narrow = "\\\\.\\" + port;
    std::wstring path(narrow.begin(), narrow.end());
    Trace(TraceChannel::Console, L"Connecting to COM port.\n");

    handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;

    auto fail = [this] {
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        return false;
    };
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(handle, &dcb)) return fail();
    dcb.BaudRate = CBR_115200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    if (!SetCommState(handle, &dcb)) return fail();

    COMMTIMEOUTS ct{};
    ct.ReadIntervalTimeout = timeouts.readInterval;
    ct.ReadTotalTimeoutMultiplier = timeouts.readMultiplier;
    ct.ReadTotalTimeoutConstant = timeouts.readConstant;
    ct.WriteTotalTimeoutMultiplier = timeouts.writeMultiplier;
    ct.WriteTotalTimeoutConstant = timeouts.writeConstant;
    if (!SetCommTimeouts(handle, &ct)) return fail();

    Sleep(timeouts.settleMs);
    PurgeComm(handle, PURGE_TXCLEAR | PURGE_RXCLEAR);
    return true;
}

void SerialLink::writeExact(const std::uint8_t* bytes, std::size_t n) {
    DWORD written = 0;
    if (!WriteFile(handle, bytes, static_cast<DWORD>(n), &written, nullptr) || written != n)
        throw SerialError("Write failed.");
}

void SerialLink::readExact(std::uint8_t* buffer, std::size_t n) {
    DWORD got = 0;
    if (!ReadFile(handle, buffer, static_cast<DWORD>(n), &got, nullptr)) throw SerialError("Read failed.");
    if (got < n) throw ProtocolError();
}
