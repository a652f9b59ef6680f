#include "SimPort.h"

#include <algorithm>

#include "common/Fault.h"

namespace UpsLink {

void SimPort::OpenDevice(int number, const CommSettings& settings)
{
    if (const auto fault = openFaults_.find(number); fault != openFaults_.end()) throw Fault(fault->second);
    if (!devices_.count(number)) throw Fault(FaultNo::InvalidPortNumber);
    ApplySettings(settings);
    ++openCount_;
}

void SimPort::CloseDevice()
{
    line_.clear();
}

void SimPort::ApplySettings(const CommSettings& settings)
{
    baudRate_ = settings.BaudRate;
    unit_.SetBaudRate(baudRate_);
}

void SimPort::Inject(double atMs, const std::vector<uint8_t>& bytes)
{
    const double byteMs = ByteTimeMs(baudRate_);
    double at = std::max(atMs, lineFreeAtMs_);
    for (uint8_t byte : bytes) {
        at += byteMs;
        line_.push_back({at, byte});
    }
    lineFreeAtMs_ = at;
}

std::size_t SimPort::ArrivedCount() const
{
    const double now = clock_.NowMs();
    return static_cast<std::size_t>(
        std::find_if(line_.begin(), line_.end(), [now](const Arrival& a) { return a.AtMs > now; }) - line_.begin());
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
    const std::size_t count = ArrivedCount();
    std::vector<uint8_t> bytes;
    bytes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) bytes.push_back(line_[i].Byte);
    line_.erase(line_.begin(), line_.begin() + static_cast<std::ptrdiff_t>(count));
    return bytes;
}

void SimPort::Write(const std::vector<uint8_t>& bytes)
{
    CheckFailure();
    const double now = clock_.NowMs();
    writes_.push_back({now, bytes});
    const double receivedAt = now + ByteTimeMs(baudRate_) * static_cast<double>(bytes.size());
    for (const Emission& emission : unit_.Receive(bytes, receivedAt)) Inject(emission.AtMs, emission.Bytes);
}

}  // namespace UpsLink
