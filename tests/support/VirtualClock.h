#pragma once

#include "platform/qt/SystemClock.h"

namespace UpsLink {

// Time that moves only when the program pauses: a 15-second exchange runs in microseconds, and
// midnight can be placed anywhere.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(double startSecondsSinceMidnight = 12 * 3600.0) : start_(startSecondsSinceMidnight) {}

    double Timer() override;
    void Sleep(int milliseconds) override { Advance(milliseconds); }

    // Milliseconds since the clock was made; never wraps.
    double NowMs() const { return elapsedMs_; }
    void Advance(double milliseconds);

private:
    double start_;
    double elapsedMs_ = 0;
};

}  // namespace UpsLink
