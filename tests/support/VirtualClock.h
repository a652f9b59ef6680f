#pragma once

#include <cmath>

#include "platform/Clock.h"

namespace UpsLink::Testing {

// Time that moves only when the program pauses: a 15-second exchange runs in microseconds, and
// midnight can be placed anywhere.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(double startSecondsSinceMidnight = 12 * 3600.0) : start_(startSecondsSinceMidnight) {}

    double Timer() override { return std::fmod(start_ + elapsedMs_ / 1000.0, 86400.0); }
    void Sleep(int milliseconds) override { elapsedMs_ += milliseconds > 0 ? milliseconds : 0; }
    // Milliseconds since the clock was made; never wraps.
    double NowMs() const { return elapsedMs_; }

private:
    double start_;
    double elapsedMs_ = 0;
};

}  // namespace UpsLink::Testing
