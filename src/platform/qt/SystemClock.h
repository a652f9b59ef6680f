#pragma once

#include "platform/Clock.h"

namespace UpsLink {

// The machine's clock, local time.
class SystemClock : public Clock {
public:
    double Timer() override;
    void Sleep(int milliseconds) override;
};

}  // namespace UpsLink
