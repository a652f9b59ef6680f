#include "platform/qt/SystemPorts.h"

// clang-format off
#include <windows.h>
#include <devguid.h>
#include <setupapi.h>
// clang-format on

#include <QRegularExpression>
#include <algorithm>

namespace UpsLink {

namespace {

QString RegistryText(HKEY key, const wchar_t* name)
{
    wchar_t text[256] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return QString::fromWCharArray(text);
}

QString DeviceProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property)
{
    wchar_t text[512] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, property, nullptr, reinterpret_cast<BYTE*>(text),
                                           sizeof text - sizeof(wchar_t), nullptr))
        return {};
    return QString::fromWCharArray(text);
}

// USB\VID_0403&PID_6001... as 0403:6001.
QString UsbId(const QString& hardwareId)
{
    static const QRegularExpression ids(QStringLiteral("VID_([0-9A-F]{4})&PID_([0-9A-F]{4})"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = ids.match(hardwareId);
    return match.hasMatch() ? (match.captured(1) + ':' + match.captured(2)).toLower() : QString();
}

// The adapters' own names, from the ports' device class, where the system has them.
void AddAdapterNames(std::vector<SystemPort>& ports)
{
    const HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        const QString com = RegistryText(key, L"PortName");
        RegCloseKey(key);
        for (SystemPort& port : ports) {
            if (port.Com.compare(com, Qt::CaseInsensitive) != 0) continue;
            port.Description = DeviceProperty(devices, device, SPDRP_FRIENDLYNAME);
            port.Manufacturer = DeviceProperty(devices, device, SPDRP_MFG);
            port.UsbId = UsbId(DeviceProperty(devices, device, SPDRP_HARDWAREID));
        }
    }
    SetupDiDestroyDeviceInfoList(devices);
}

}  // namespace

// The serial device map of the registry: every COM port the system has, by number.
std::vector<SystemPort> SystemPorts()
{
    std::vector<SystemPort> ports;
    HKEY map = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &map) != ERROR_SUCCESS)
        return ports;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumValueW(map, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const QString com = RegistryText(map, name);
        if (!com.isEmpty()) ports.push_back({com, {}, {}, {}, {}, com});
    }
    RegCloseKey(map);
    std::sort(ports.begin(), ports.end(),
              [](const SystemPort& a, const SystemPort& b) { return a.Com.mid(3).toInt() < b.Com.mid(3).toInt(); });
    AddAdapterNames(ports);
    return ports;
}

}  // namespace UpsLink
