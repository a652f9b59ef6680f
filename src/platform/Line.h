#pragma once

#include <string>

namespace UpsLink {

// Why a line did not open: the port's fault and the reason told with it. A line is what a port
// moves its bytes over: a local serial device or a port behind a console server.
struct LineRefusal {
    int Number = 0;
    std::string Reason;
};

}  // namespace UpsLink
