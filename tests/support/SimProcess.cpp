#include "SimProcess.h"

#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <regex>
#include <stdexcept>

#include "Blocks.h"

namespace UpsLink::Testing {

SimProcess::SimProcess(const std::vector<std::string>& options)
{
    std::vector<std::string> arguments{ZENTREL_SIM_PATH};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe(pipeFds) != 0 || (pid_ = ::fork()) < 0) throw std::runtime_error("cannot start zentrel-sim");
    if (pid_ == 0) {
        // The simulator does not outlive a test that dies.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    output_ = pipeFds[0];

    // Its first line is the terminal's path.
    for (char c = 0; c != '\n'; slavePath_ += c) {
        pollfd fd{output_, POLLIN, 0};
        if (::poll(&fd, 1, 5000) <= 0 || ::read(output_, &c, 1) != 1) {
            Stop();
            throw std::runtime_error("zentrel-sim printed no terminal path");
        }
    }
    slavePath_.pop_back();
}

int SimProcess::Stop(int signal)
{
    if (pid_ <= 0) return -1;
    ::kill(pid_, signal);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    ::close(output_);
    return status;
}

std::vector<std::vector<uint8_t>> LoggedFrames(const std::string& logPath, char direction)
{
    static const std::regex entry(R"re(\{"dir":"([<>])","hex":"([0-9A-F ]*)","t":[0-9.]+\})re");
    std::ifstream in(logPath);
    if (!in) throw std::runtime_error("no frame log at " + logPath);
    std::vector<std::vector<uint8_t>> frames;
    std::smatch match;
    for (std::string line; std::getline(in, line);) {
        if (!std::regex_match(line, match, entry)) throw std::runtime_error("not a frame log line: " + line);
        if (match[1].str()[0] == direction) frames.push_back(Hex(match[2].str()));
    }
    return frames;
}

}  // namespace UpsLink::Testing
