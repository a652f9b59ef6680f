#pragma once

namespace UpsLink {

// Time as the link sees it: seconds since midnight, and blocking pauses.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since midnight, with fractions; restarts from 0 at midnight.
    virtual double Timer() = 0;
    // A blocking pause on the calling thread.
    virtual void Sleep(int milliseconds) = 0;
};

}  // namespace UpsLink
