#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace UpsLink {

// Run-time fault numbers shared by the whole program.
namespace FaultNo {
constexpr int InvalidCall = 5;
constexpr int Overflow = 6;
constexpr int SubscriptOutOfRange = 9;
constexpr int TypeMismatch = 13;
constexpr int BadFileNameOrNumber = 52;
constexpr int FileNotFound = 53;
constexpr int InputPastEndOfFile = 62;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccessError = 75;
constexpr int InvalidPropertyValue = 380;
constexpr int InvalidPortNumber = 8002;
constexpr int PortAlreadyOpen = 8005;
constexpr int DeviceNotOpen = 8012;
constexpr int CouldNotSetCommState = 8015;
}  // namespace FaultNo

// The standard description of a fault number; empty for numbers without one.
std::string FaultDescription(int number);

// A run-time fault: travels until a procedure that traps faults reports it.
struct Fault : std::exception {
    explicit Fault(int number);
    Fault(int number, std::string description);
    const char* what() const noexcept override { return Description.c_str(); }

    int Number;
    std::string Description;
};

// The report line of a trapping procedure: number, blank, description, separator, mark.
std::string FaultLine(const Fault& fault, std::string_view separator, int mark);

// Protocol data is indexed through this: an index past either end is fault 9.
template <class Container>
decltype(auto) At(Container& c, long long index)
{
    if (index < 0 || index >= static_cast<long long>(c.size())) throw Fault(FaultNo::SubscriptOutOfRange);
    return c[static_cast<std::size_t>(index)];
}

// A value stored in a 16-bit signed variable: one that does not fit is fault 6.
int16_t ToInt16(long long value);

}  // namespace UpsLink
