#pragma once

#include <deque>
#include <map>
#include <optional>
#include <set>

#include "Unit.h"
#include "VirtualClock.h"
#include "platform/Port.h"

namespace UpsLink {

// A serial port whose cable ends in a unit model, on the virtual clock. Bytes reach the unit one
// line time apart; its answer bytes arrive at their own times, and InBufferCount counts only
// what has arrived by now.
class SimPort : public Port {
public:
    struct Written {
        double AtMs;
        std::vector<uint8_t> Bytes;
    };

    SimPort(VirtualClock& clock, Unit& unit) : clock_(clock), unit_(unit) {}

    // Port numbers with a device behind them (COM1 only by default).
    void SetDevices(std::set<int> numbers) { devices_ = std::move(numbers); }
    // Opening this port number fails with this fault number.
    void FailOpen(int number, int faultNumber) { openFaults_[number] = faultNumber; }
    // From this moment on, counting, reading and writing fail with this fault number (a device
    // pulled out while open).
    void FailFrom(double atMs, int faultNumber) { failure_ = {atMs, faultNumber}; }
    // Bytes that arrive at a given moment regardless of any command (line noise, a late answer).
    void Inject(double atMs, const std::vector<uint8_t>& bytes);

    // Every write, with the virtual time it was made.
    const std::vector<Written>& Writes() const { return writes_; }
    int OpenCount() const { return openCount_; }
    int BaudRate() const { return baudRate_; }

protected:
    void OpenDevice(int number, const CommSettings& settings) override;
    void CloseDevice() override;
    void ApplySettings(const CommSettings& settings) override;
    int PendingCount() override;
    std::vector<uint8_t> ReadPending() override;
    void Write(const std::vector<uint8_t>& bytes) override;

private:
    struct Arrival {
        double AtMs;
        uint8_t Byte;
    };

    std::size_t ArrivedCount() const;
    void CheckFailure() const;

    VirtualClock& clock_;
    Unit& unit_;
    std::set<int> devices_{1};
    std::map<int, int> openFaults_;
    std::optional<std::pair<double, int>> failure_;
    std::deque<Arrival> line_;
    double lineFreeAtMs_ = 0;
    std::vector<Written> writes_;
    int openCount_ = 0;
    int baudRate_ = 0;
};

}  // namespace UpsLink
