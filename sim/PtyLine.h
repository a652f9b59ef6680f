#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "Unit.h"

namespace UpsLink {

// A unit served on a pseudo-terminal in real time. The slave side stays open here as well, so
// the program can open and close it at will and no byte is lost or translated (both sides raw).
// The unit's time base is milliseconds since the line was made.
class PtyLine {
public:
    // Throws std::runtime_error when no pseudo-terminal can be had.
    PtyLine(Unit& unit, int baudRate);
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    const std::string& SlavePath() const { return slavePath_; }

    // Moves bytes both ways until stopFd becomes readable: what the program writes goes to the
    // unit, and the unit's answers go out at their times, one line time per byte. afterReceive
    // runs after every batch of bytes the unit was given.
    void Serve(int stopFd, const std::function<void()>& afterReceive);

private:
    struct Due {
        double AtMs;
        uint8_t Byte;
    };

    double NowMs() const;
    void Schedule(const Emission& emission);
    void WriteDue();

    Unit& unit_;
    double byteMs_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::deque<Due> line_;
    std::vector<uint8_t> unwritten_;  // due, but not yet taken by the pty
    double lineFreeAtMs_ = 0;
    double startNs_;
};

}  // namespace UpsLink
