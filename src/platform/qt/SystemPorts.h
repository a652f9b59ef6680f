#pragma once

#include <QString>
#include <vector>

namespace UpsLink {

// A serial device of the system as an engineer finds it: its name, what the system says of the
// adapter, and the COM port number that reaches it, if any.
struct SystemPort {
    QString Device;
    QString Description;
    QString Manufacturer;
    QString Serial;
    QString UsbId;  // vvvv:pppp
    QString Com;
};

// Every serial device the system lists, in the system's order.
std::vector<SystemPort> SystemPorts();

}  // namespace UpsLink
