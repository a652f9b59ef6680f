#include "SerialPort.h"

#include <QFileInfo>
#include <QtGlobal>

#include "common/Fault.h"

#ifndef Q_OS_WIN
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace UpsLink {

namespace {

constexpr int WriteTimeoutMs = 2000;

QSerialPort::Parity QtParity(char parity)
{
    switch (parity) {
    case 'E': return QSerialPort::EvenParity;
    case 'O': return QSerialPort::OddParity;
    case 'M': return QSerialPort::MarkParity;
    case 'S': return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits QtStopBits(double stopBits)
{
    if (stopBits == 2) return QSerialPort::TwoStop;
    if (stopBits == 1.5) return QSerialPort::OneAndHalfStop;
    return QSerialPort::OneStop;
}

std::string Local(const QString& text) { return text.toLocal8Bit().toStdString(); }

#ifndef Q_OS_WIN
// A device the user may not open: who may, in the words an engineer acts on.
std::string PermissionHint(const QString& device)
{
    struct stat info {};
    if (::stat(Local(device).c_str(), &info) != 0) return "permission denied";
    const group* owner = ::getgrgid(info.st_gid);
    const std::string name = owner ? owner->gr_name : std::to_string(info.st_gid);
    return "permission denied; the user must be in the group owning the device, " + name + " (usually dialout)";
}
#endif

}  // namespace

void SerialPort::OpenDevice(int number, const CommSettings& settings)
{
    const QString device = DeviceForPort(number);
    const NetworkAddress address = ParseNetworkAddress(Local(device));
    if (address.Kind == NetworkAddress::Malformed) {
        NoteOpenFailure(Local(device), "not a network address rfc2217://HOST:PORT or tcp://HOST:PORT");
        throw Fault(FaultNo::InvalidPortNumber);
    }
    if (address.Kind != NetworkAddress::None) {
        OpenNetwork(address, settings);
        return;
    }
#ifndef Q_OS_WIN
    if (!QFileInfo::exists(device)) {
        NoteOpenFailure(Local(device), "no such device");
        throw Fault(FaultNo::InvalidPortNumber);
    }
#endif
    serial_.setPortName(device);
    if (!serial_.open(QIODevice::ReadWrite)) {
        const auto error = serial_.error();
        const std::string reason = Local(serial_.errorString());
        serial_.clearError();
        if (error == QSerialPort::DeviceNotFoundError) {
            NoteOpenFailure(Local(device), "no such device");
            throw Fault(FaultNo::InvalidPortNumber);
        }
#ifndef Q_OS_WIN
        // The user may not open it; otherwise another program holds it.
        if (error == QSerialPort::PermissionError &&
            ::access(Local(QFileInfo(device).absoluteFilePath()).c_str(), R_OK | W_OK) != 0) {
            NoteOpenFailure(Local(device), PermissionHint(device));
            throw Fault(FaultNo::DeviceNotOpen, "Unable to open port");
        }
#endif
        if (error == QSerialPort::PermissionError) {
            NoteOpenFailure(Local(device), "in use by another program");
            throw Fault(FaultNo::PortAlreadyOpen);
        }
        NoteOpenFailure(Local(device), reason);
        throw Fault(FaultNo::DeviceNotOpen, "Unable to open port");
    }
    try {
        ApplySettings(settings);
    } catch (const Fault&) {
        NoteOpenFailure(Local(device), "the device refused the port's settings");
        serial_.close();
        throw;
    }
    // Modem lines: a pseudo-terminal has none, so a refusal here is not a failure of the port.
    serial_.setDataTerminalReady(DTREnable());
    serial_.setRequestToSend(RTSEnable());
    serial_.clear(QSerialPort::AllDirections);
    serial_.clearError();
}

void SerialPort::OpenNetwork(const NetworkAddress& address, const CommSettings& settings)
{
    if (const auto refusal = network_.Open(address, settings)) {
        NoteOpenFailure(address.Shown(), refusal->Reason);
        if (refusal->Number == FaultNo::InvalidPortNumber) throw Fault(FaultNo::InvalidPortNumber);
        throw Fault(FaultNo::DeviceNotOpen, "Unable to open port");
    }
    onNetwork_ = true;
}

void SerialPort::CloseDevice()
{
    if (onNetwork_)
        network_.Close();
    else
        serial_.close();
    onNetwork_ = false;
}

void SerialPort::ApplySettings(const CommSettings& settings)
{
    if (onNetwork_) {
        network_.Apply(settings);
        return;
    }
    const bool applied = serial_.setBaudRate(settings.BaudRate) &&
                         serial_.setDataBits(static_cast<QSerialPort::DataBits>(settings.DataBits)) &&
                         serial_.setParity(QtParity(settings.Parity)) &&
                         serial_.setStopBits(QtStopBits(settings.StopBits)) &&
                         serial_.setFlowControl(QSerialPort::NoFlowControl);
    if (!applied) {
        serial_.clearError();
        throw Fault(FaultNo::CouldNotSetCommState);
    }
}

void SerialPort::PullFromSystem()
{
    while (serial_.waitForReadyRead(0)) {
    }
}

int SerialPort::PendingCount()
{
    if (onNetwork_) return network_.Pending();
    PullFromSystem();
    return static_cast<int>(serial_.bytesAvailable());
}

std::vector<uint8_t> SerialPort::ReadPending()
{
    if (onNetwork_) return network_.Read();
    PullFromSystem();
    const QByteArray data = serial_.readAll();
    return {data.begin(), data.end()};
}

void SerialPort::Write(const std::vector<uint8_t>& bytes)
{
    if (onNetwork_) {
        network_.Write(bytes);
        return;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (serial_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) throw Fault(FaultNo::DeviceNotOpen);
    while (serial_.bytesToWrite() > 0)
        if (!serial_.waitForBytesWritten(WriteTimeoutMs)) throw Fault(FaultNo::DeviceNotOpen);
}

}  // namespace UpsLink
