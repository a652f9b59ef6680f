#pragma once

#include <deque>
#include <map>
#include <optional>
#include <set>

#include "Unit.h"
#include "VirtualClock.h"
#include "platform/Port.h"

namespace UpsLink::Testing {

// A serial port whose cable ends in a unit, on the virtual clock. Bytes reach the unit one line
// time apart; its answers arrive at their own times, and only what has arrived by now counts.
class SimPort : public Port {
public:
    SimPort(VirtualClock& clock, Unit& unit) : clock_(clock), unit_(unit) {}

    // Port numbers with a device behind them (COM1 only by default).
    void SetDevices(std::set<int> numbers) { devices_ = std::move(numbers); }
    // Opening this port number fails with this fault number.
    void FailOpen(int number, int faultNumber) { openFaults_[number] = faultNumber; }
    // From this virtual moment on, counting, reading and writing fail (a device pulled out).
    void FailFrom(double atMs, int faultNumber) { failure_ = {atMs, faultNumber}; }
    // Bytes that start arriving at a moment regardless of any command (line noise, a babbler).
    void Inject(double atMs, const std::vector<uint8_t>& bytes);

    // Every frame written, in order; their payloads; the virtual time of each write.
    const std::vector<std::vector<uint8_t>>& Frames() const { return writes_; }
    std::vector<std::vector<uint8_t>> Payloads() const;
    const std::vector<double>& WriteTimes() const { return writeTimes_; }
    int OpenCount() const { return openCount_; }

protected:
    void OpenDevice(int number, const CommSettings& settings) override;
    void CloseDevice() override { line_.clear(); }
    void ApplySettings(const CommSettings& settings) override;
    int PendingCount() override;
    std::vector<uint8_t> ReadPending() override;
    void Write(const std::vector<uint8_t>& bytes) override;

private:
    std::size_t ArrivedCount() const;
    void CheckFailure() const;

    VirtualClock& clock_;
    Unit& unit_;
    std::set<int> devices_{1};
    std::map<int, int> openFaults_;
    std::optional<std::pair<double, int>> failure_;
    std::deque<std::pair<double, uint8_t>> line_;  // arrival time, byte
    double lineFreeAtMs_ = 0;
    std::vector<std::vector<uint8_t>> writes_;
    std::vector<double> writeTimes_;
    int openCount_ = 0;
    int baudRate_ = 0;
};

}  // namespace UpsLink::Testing
