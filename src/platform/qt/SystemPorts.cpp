#include "SystemPorts.h"

#include <QFileInfo>
#include <QList>
#include <QSerialPortInfo>
#include <algorithm>

#include "PortMap.h"

namespace UpsLink {

std::vector<SystemPort> SystemPorts()
{
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    // Every port number that names a device: those of the port map, and those of /dev/ttyS(n-1).
    QList<int> numbers;
    for (const auto& [number, what] : NamedPorts()) numbers << number;
    for (const QSerialPortInfo& info : infos) {
        const QString device = info.systemLocation();
        if (device.startsWith("/dev/ttyS")) numbers << device.mid(9).toInt() + 1;
    }
    std::sort(numbers.begin(), numbers.end());

    std::vector<SystemPort> ports;
    for (const QSerialPortInfo& info : infos) {
        const QString device = info.systemLocation();
        QString com;
        for (int n : numbers)
            if (n > 0 && com.isEmpty() &&
                QFileInfo(DeviceForPort(n)).canonicalFilePath() == QFileInfo(device).canonicalFilePath())
                com = QStringLiteral("COM%1").arg(n);
        const QString ids = info.hasVendorIdentifier() && info.hasProductIdentifier()
                                ? QStringLiteral("%1:%2").arg(info.vendorIdentifier(), 4, 16, QChar('0'))
                                      .arg(info.productIdentifier(), 4, 16, QChar('0'))
                                : QString();
        ports.push_back({device, info.description(), info.manufacturer(), info.serialNumber(), ids, com});
    }
    return ports;
}

}  // namespace UpsLink
