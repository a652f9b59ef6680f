#include "VirtualClock.h"

#include <cmath>

namespace UpsLink {

double VirtualClock::Timer() { return std::fmod(start_ + elapsedMs_ / 1000.0, 86400.0); }

void VirtualClock::Advance(double milliseconds)
{
    if (milliseconds > 0) elapsedMs_ += milliseconds;
}

}  // namespace UpsLink
