#include "SerialPort.h"

#include <QFileInfo>
#include <QtGlobal>

#include "common/Fault.h"

#ifndef Q_OS_WIN
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

// A device that exists and is accessible but cannot be opened is held by another program.
bool HeldByAnother(const QString& device)
{
#ifdef Q_OS_WIN
    Q_UNUSED(device);
    return true;
#else
    return ::access(QFileInfo(device).absoluteFilePath().toLocal8Bit().constData(), R_OK | W_OK) == 0;
#endif
}

}  // namespace

QString DeviceForPort(int number)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    const QByteArray named = qgetenv(QStringLiteral("ZENTREL_COM%1").arg(number).toLatin1().constData());
    if (!named.isEmpty()) return QString::fromLocal8Bit(named);
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

void SerialPort::OpenDevice(int number, const CommSettings& settings)
{
    const QString device = DeviceForPort(number);
#ifndef Q_OS_WIN
    if (!QFileInfo::exists(device)) throw Fault(FaultNo::InvalidPortNumber);
#endif
    serial_.setPortName(device);
    if (!serial_.open(QIODevice::ReadWrite)) {
        const auto error = serial_.error();
        serial_.clearError();
        if (error == QSerialPort::DeviceNotFoundError) throw Fault(FaultNo::InvalidPortNumber);
        if (error == QSerialPort::PermissionError && HeldByAnother(device)) throw Fault(FaultNo::PortAlreadyOpen);
        throw Fault(FaultNo::DeviceNotOpen, "Unable to open port");
    }
    try {
        ApplySettings(settings);
    } catch (...) {
        serial_.close();
        throw;
    }
    // Modem lines: a pseudo-terminal has none, so a refusal here is not a failure of the port.
    serial_.setDataTerminalReady(DTREnable());
    serial_.setRequestToSend(RTSEnable());
    serial_.clear(QSerialPort::AllDirections);
    serial_.clearError();
}

void SerialPort::CloseDevice() { serial_.close(); }

void SerialPort::ApplySettings(const CommSettings& settings)
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

void SerialPort::PullFromSystem()
{
    while (serial_.waitForReadyRead(0)) {
    }
}

int SerialPort::PendingCount()
{
    PullFromSystem();
    return static_cast<int>(serial_.bytesAvailable());
}

std::vector<uint8_t> SerialPort::ReadPending()
{
    PullFromSystem();
    const QByteArray data = serial_.readAll();
    return {data.begin(), data.end()};
}

void SerialPort::Write(const std::vector<uint8_t>& bytes)
{
    const auto size = static_cast<qint64>(bytes.size());
    if (serial_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) throw Fault(FaultNo::DeviceNotOpen);
    while (serial_.bytesToWrite() > 0)
        if (!serial_.waitForBytesWritten(WriteTimeoutMs)) throw Fault(FaultNo::DeviceNotOpen);
}

}  // namespace UpsLink
