#include "SerialPort.h"

#include "FileNames.h"
#include "common/Fault.h"

namespace UpsLink {

namespace {

#ifdef Q_OS_WIN
std::wstring LocalName(const QString& device) { return device.toStdWString(); }
#else
const QString& LocalName(const QString& device) { return device; }
#endif

}  // namespace

void SerialPort::OpenDevice(int number, const CommSettings& settings)
{
    const QString device = DeviceForPort(number);
    const NetworkAddress address = ParseNetworkAddress(ToFileName(device));
    if (address.Kind == NetworkAddress::Malformed) {
        NoteOpenFailure(ToFileName(device), "not a network address rfc2217://HOST:PORT or tcp://HOST:PORT");
        throw Fault(FaultNo::InvalidPortNumber);
    }
    const bool onNetwork = address.Kind != NetworkAddress::None;
    if (const auto refusal = onNetwork ? network_.Open(address, settings) : local_.Open(LocalName(device), settings)) {
        NoteOpenFailure(onNetwork ? address.Shown() : ToFileName(device), refusal->Reason);
        if (refusal->Number == FaultNo::DeviceNotOpen) throw Fault(FaultNo::DeviceNotOpen, "Unable to open port");
        throw Fault(refusal->Number);
    }
    onNetwork_ = onNetwork;
    if (!onNetwork_) local_.SetModemLines(DTREnable(), RTSEnable());
}

void SerialPort::CloseDevice()
{
    if (onNetwork_)
        network_.Close();
    else
        local_.Close();
    onNetwork_ = false;
}

void SerialPort::ApplySettings(const CommSettings& settings)
{
    if (onNetwork_)
        network_.Apply(settings);
    else
        local_.Apply(settings);
}

int SerialPort::PendingCount() { return onNetwork_ ? network_.Pending() : local_.Pending(); }

std::vector<uint8_t> SerialPort::ReadPending() { return onNetwork_ ? network_.Read() : local_.Read(); }

void SerialPort::DiscardPending()
{
    if (onNetwork_)
        network_.Read();
    else
        local_.Discard();
}

void SerialPort::Write(const std::vector<uint8_t>& bytes)
{
    if (onNetwork_)
        network_.Write(bytes);
    else
        local_.Write(bytes);
}

}  // namespace UpsLink
