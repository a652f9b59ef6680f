#include "Fault.h"

#include <limits>

namespace UpsLink {

std::string FaultDescription(int number)
{
    switch (number) {
    case FaultNo::InvalidCall: return "Invalid procedure call or argument";
    case FaultNo::Overflow: return "Overflow";
    case FaultNo::SubscriptOutOfRange: return "Subscript out of range";
    case FaultNo::TypeMismatch: return "Type mismatch";
    case FaultNo::BadFileNameOrNumber: return "Bad file name or number";
    case FaultNo::FileNotFound: return "File not found";
    case FaultNo::InputPastEndOfFile: return "Input past end of file";
    case FaultNo::PermissionDenied: return "Permission denied";
    case FaultNo::PathFileAccessError: return "Path/File access error";
    case FaultNo::InvalidPropertyValue: return "Invalid property value";
    case FaultNo::InvalidPortNumber: return "Invalid port number";
    case FaultNo::PortAlreadyOpen: return "Port already open";
    case FaultNo::DeviceNotOpen: return "The device is not open";
    case FaultNo::CouldNotSetCommState: return "Could not set comm state";
    default: return {};
    }
}

Fault::Fault(int number) : Number(number), Description(FaultDescription(number)) {}

Fault::Fault(int number, std::string description) : Number(number), Description(std::move(description)) {}

std::string FaultText(const Fault& fault) { return std::to_string(fault.Number) + " " + fault.Description; }

std::string FaultLine(const Fault& fault, Mark mark)
{
    const bool tight = mark == Mark::GetAckCode || mark == Mark::GetReplyCode;
    const std::string number = std::to_string(static_cast<int>(mark));
    if (mark == Mark::Main) return std::to_string(fault.Number) + " Start: " + fault.Description + " " + number;
    return FaultText(fault) + (tight ? "" : " ") + number;
}

int16_t ToInt16(long long value)
{
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        throw Fault(FaultNo::Overflow);
    return static_cast<int16_t>(value);
}

}  // namespace UpsLink
