#include "SimPort.h"

#include <algorithm>

#include "common/Fault.h"

namespace UpsLink::Testing {

std::vector<std::vector<uint8_t>> SimPort::Payloads() const
{
    std::vector<std::vector<uint8_t>> payloads;
    for (const auto& frame : writes_) payloads.emplace_back(frame.begin() + 2, frame.end() - 1);
    return payloads;
}

void SimPort::OpenDevice(int number, const CommSettings& settings)
{
    if (const auto fault = openFaults_.find(number); fault != openFaults_.end()) throw Fault(fault->second);
    if (!devices_.count(number)) {
        NoteOpenFailure("COM" + std::to_string(number), "no such device");
        throw Fault(FaultNo::InvalidPortNumber);
    }
    ApplySettings(settings);
    ++openCount_;
}

void SimPort::ApplySettings(const CommSettings& settings)
{
    baudRate_ = settings.BaudRate;
    unit_.SetBaudRate(baudRate_);
}

std::size_t SimPort::ArrivedCount() const
{
    const double now = clock_.NowMs();
    return static_cast<std::size_t>(
        std::find_if(line_.begin(), line_.end(), [now](const auto& byte) { return byte.first > now; }) -
        line_.begin());
}

void SimPort::CheckFailure() const
{
    if (failure_ && clock_.NowMs() >= failure_->first) throw Fault(failure_->second);
}

int SimPort::PendingCount()
{
    CheckFailure();
    return static_cast<int>(ArrivedCount());
}

std::vector<uint8_t> SimPort::ReadPending()
{
    CheckFailure();
    const auto arrived = line_.begin() + static_cast<std::ptrdiff_t>(ArrivedCount());
    std::vector<uint8_t> bytes;
    for (auto it = line_.begin(); it != arrived; ++it) bytes.push_back(it->second);
    line_.erase(line_.begin(), arrived);
    return bytes;
}

void SimPort::Write(const std::vector<uint8_t>& bytes)
{
    CheckFailure();
    writes_.push_back(bytes);
    writeTimes_.push_back(clock_.NowMs());
    const double receivedAt = clock_.NowMs() + ByteTimeMs(baudRate_) * static_cast<double>(bytes.size());
    for (const Emission& emission : unit_.Receive(bytes, receivedAt)) Inject(emission.AtMs, emission.Bytes);
}

void SimPort::Inject(double atMs, const std::vector<uint8_t>& bytes)
{
    const double byteMs = ByteTimeMs(baudRate_);
    double at = std::max(atMs, lineFreeAtMs_);
    for (uint8_t byte : bytes) line_.emplace_back(at += byteMs, byte);
    lineFreeAtMs_ = at;
}

}  // namespace UpsLink::Testing
