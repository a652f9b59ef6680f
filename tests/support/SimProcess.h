#pragma once

#include <sys/types.h>

#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

namespace UpsLink::Testing {

// zentrel-sim started as a child process with the given options: the real unit model on a real
// pseudo-terminal, ready when the constructor returns. The destructor stops it with SIGTERM.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& options = {});
    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    // Sends signal and waits; the exit status as waitpid gives it. SIGKILL is a pulled cable: the
    // simulator gets no say and its pseudo-terminal is gone at once.
    int Stop(int signal = SIGTERM);

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string slavePath_;
};

// The frames of a zentrel-sim --log file in one direction ('>' received, '<' sent), in order.
std::vector<std::vector<uint8_t>> LoggedFrames(const std::string& logPath, char direction);

}  // namespace UpsLink::Testing
