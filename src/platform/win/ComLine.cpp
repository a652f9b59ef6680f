#include "ComLine.h"

#include "common/Fault.h"

namespace UpsLink {

namespace {

// The system's own words for an error code, without the line end it adds.
std::string SystemReason(DWORD error)
{
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length ? std::string(text, length) : "error " + std::to_string(error);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) reason.pop_back();
    return reason;
}

// COMn through the device namespace, which alone reaches COM10 and above; other names as given.
std::wstring DevicePath(const std::wstring& device)
{
    return device.starts_with(L"\\\\") ? device : L"\\\\.\\" + device;
}

BYTE DcbParity(char parity)
{
    switch (parity) {
    case 'E': return EVENPARITY;
    case 'O': return ODDPARITY;
    case 'M': return MARKPARITY;
    case 'S': return SPACEPARITY;
    default: return NOPARITY;
    }
}

BYTE DcbStopBits(double stopBits)
{
    if (stopBits == 2) return TWOSTOPBITS;
    if (stopBits == 1.5) return ONE5STOPBITS;
    return ONESTOPBIT;
}

}  // namespace

std::optional<LineRefusal> ComLine::Open(const std::wstring& device, const CommSettings& settings)
{
    handle_ = CreateFileW(DevicePath(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return LineRefusal{FaultNo::InvalidPortNumber, "no such device"};
        // A port is opened by one program at a time; Windows tells a second one it may not.
        if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
            return LineRefusal{FaultNo::PortAlreadyOpen, "in use by another program"};
        return LineRefusal{FaultNo::DeviceNotOpen, SystemReason(error)};
    }
    try {
        Apply(settings);
    } catch (const Fault&) {
        Close();
        return LineRefusal{FaultNo::CouldNotSetCommState, "the device refused the port's settings"};
    }
    // Reads return at once with what is waiting; writes wait until the bytes are out.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    SetCommTimeouts(handle_, &timeouts);
    PurgeComm(handle_, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    return std::nullopt;
}

void ComLine::Close()
{
    if (handle_ == INVALID_HANDLE_VALUE) return;
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

void ComLine::Apply(const CommSettings& settings)
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_, &dcb)) throw Fault(FaultNo::CouldNotSetCommState);
    dcb.BaudRate = static_cast<DWORD>(settings.BaudRate);
    dcb.ByteSize = static_cast<BYTE>(settings.DataBits);
    dcb.Parity = DcbParity(settings.Parity);
    dcb.fParity = dcb.Parity != NOPARITY;
    dcb.StopBits = DcbStopBits(settings.StopBits);
    // Every byte as it is: no flow control, no byte replaced or dropped, no stop on an error.
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fDtrControl = dtr_ ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    dcb.fRtsControl = rts_ ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    if (!SetCommState(handle_, &dcb)) throw Fault(FaultNo::CouldNotSetCommState);
}

void ComLine::SetModemLines(bool dtr, bool rts)
{
    dtr_ = dtr;
    rts_ = rts;
    // A port without modem lines refuses; that is not a failure of the port.
    EscapeCommFunction(handle_, dtr ? SETDTR : CLRDTR);
    EscapeCommFunction(handle_, rts ? SETRTS : CLRRTS);
}

int ComLine::Pending()
{
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handle_, &errors, &status)) throw Fault(FaultNo::DeviceNotOpen);
    return static_cast<int>(status.cbInQue);
}

std::vector<uint8_t> ComLine::Read()
{
    std::vector<uint8_t> bytes(static_cast<std::size_t>(Pending()));
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        throw Fault(FaultNo::DeviceNotOpen);
    bytes.resize(read);
    return bytes;
}

void ComLine::Write(const std::vector<uint8_t>& bytes)
{
    DWORD written = 0;
    if (!WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw Fault(FaultNo::DeviceNotOpen);
}

void ComLine::Discard()
{
    if (!PurgeComm(handle_, PURGE_RXCLEAR)) throw Fault(FaultNo::DeviceNotOpen);
}

}  // namespace UpsLink
