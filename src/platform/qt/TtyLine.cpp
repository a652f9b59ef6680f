#include "TtyLine.h"

#include <QFileInfo>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileNames.h"
#include "common/Fault.h"

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

// A device the user may not open: who may, in the words an engineer acts on.
std::string PermissionHint(const QString& device)
{
    struct stat info {};
    if (::stat(ToFileName(device).c_str(), &info) != 0) return "permission denied";
    const group* owner = ::getgrgid(info.st_gid);
    const std::string name = owner ? owner->gr_name : std::to_string(info.st_gid);
    return "permission denied; the user must be in the group owning the device, " + name + " (usually dialout)";
}

}  // namespace

std::optional<LineRefusal> TtyLine::Open(const QString& device, const CommSettings& settings)
{
    if (!QFileInfo::exists(device)) return LineRefusal{FaultNo::InvalidPortNumber, "no such device"};
    serial_.setPortName(device);
    if (!serial_.open(QIODevice::ReadWrite)) {
        const auto error = serial_.error();
        const std::string reason = ToFileName(serial_.errorString());
        serial_.clearError();
        if (error == QSerialPort::DeviceNotFoundError) return LineRefusal{FaultNo::InvalidPortNumber, "no such device"};
        // The user may not open it; otherwise another program holds it.
        if (error == QSerialPort::PermissionError &&
            ::access(ToFileName(QFileInfo(device).absoluteFilePath()).c_str(), R_OK | W_OK) != 0)
            return LineRefusal{FaultNo::DeviceNotOpen, PermissionHint(device)};
        if (error == QSerialPort::PermissionError)
            return LineRefusal{FaultNo::PortAlreadyOpen, "in use by another program"};
        return LineRefusal{FaultNo::DeviceNotOpen, reason};
    }
    try {
        Apply(settings);
    } catch (const Fault&) {
        serial_.close();
        return LineRefusal{FaultNo::CouldNotSetCommState, "the device refused the port's settings"};
    }
    serial_.clear(QSerialPort::AllDirections);
    serial_.clearError();
    return std::nullopt;
}

void TtyLine::Close() { serial_.close(); }

void TtyLine::Apply(const CommSettings& settings)
{
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

void TtyLine::SetModemLines(bool dtr, bool rts)
{
    serial_.setDataTerminalReady(dtr);
    serial_.setRequestToSend(rts);
    serial_.clearError();
}

void TtyLine::PullFromSystem()
{
    while (serial_.waitForReadyRead(0)) {
    }
}

int TtyLine::Pending()
{
    PullFromSystem();
    return static_cast<int>(serial_.bytesAvailable());
}

std::vector<uint8_t> TtyLine::Read()
{
    PullFromSystem();
    const QByteArray data = serial_.readAll();
    return {data.begin(), data.end()};
}

void TtyLine::Write(const std::vector<uint8_t>& bytes)
{
    const auto size = static_cast<qint64>(bytes.size());
    if (serial_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) throw Fault(FaultNo::DeviceNotOpen);
    while (serial_.bytesToWrite() > 0)
        if (!serial_.waitForBytesWritten(WriteTimeoutMs)) throw Fault(FaultNo::DeviceNotOpen);
}

}  // namespace UpsLink
