#pragma once

#include <termios.h>

#include <cstdint>
#include <string>
#include <vector>

namespace UpsLink {

// A pseudo-terminal standing in for a cable. The test holds the master end; the slave is kept
// open and raw, so no byte is translated and the line stays usable while the program has its
// port closed.
class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& SlavePath() const { return slavePath_; }

    // Puts bytes on the line towards the program.
    void Write(const std::vector<uint8_t>& bytes);
    // What the program wrote: waits until count bytes came or timeoutMs passed.
    std::vector<uint8_t> Read(std::size_t count, int timeoutMs);
    // The line settings the program left on the slave.
    termios SlaveSettings() const;

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace UpsLink
