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

// The procedures that trap faults, each known by the mark at the end of its report line.
enum class Mark {
    Main = 1,
    FlushPort = 2,
    GetAckCode = 3,
    ReadReply = 4,
    SendCommand = 5,
    ConnectUps = 6,
    ReadUpsType = 8,
    ReadIdentification = 9,
    SettingsLoad = 13,
    ModuleApply = 14,
    ModuleLoad = 15,
    GetReplyCode = 35,
    RecordParser = 36,
};

// "number description": how a fault is shown where no mark goes with it.
std::string FaultText(const Fault& fault);
// The report line of a trapping procedure: number, blank, description, then the mark after its
// separator ("8 Overflow 6", "9 Subscript out of range35"); start-up puts "Start: " before the
// description.
std::string FaultLine(const Fault& fault, Mark mark);

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
