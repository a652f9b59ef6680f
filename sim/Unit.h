#pragma once

#include <cstdint>
#include <vector>

namespace UpsLink {

// Bytes the unit puts on the line, starting at a moment of its own time base (milliseconds).
struct Emission {
    double AtMs = 0;
    std::vector<uint8_t> Bytes;
};

// The far end of the cable: takes what the program wrote, says what it sends back and when.
class Unit {
public:
    virtual ~Unit() = default;
    // bytes finished arriving at nowMs.
    virtual std::vector<Emission> Receive(const std::vector<uint8_t>& bytes, double nowMs) = 0;
    // Line speed, so the unit can time its answers; 8 data bits, no parity, 1 stop bit.
    virtual void SetBaudRate(int baudRate) { (void)baudRate; }
};

// Milliseconds one byte takes on the line: ten bit times.
inline double ByteTimeMs(int baudRate) { return baudRate > 0 ? 10000.0 / baudRate : 0; }

}  // namespace UpsLink
