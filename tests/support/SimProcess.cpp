#include "SimProcess.h"

#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <system_error>

#include "Blocks.h"

namespace UpsLink::Testing {

namespace {

constexpr int StartTimeoutMs = 5000;

[[noreturn]] void Fail(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& options)
{
    std::vector<std::string> arguments{ZENTREL_SIM_PATH};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe(pipeFds) != 0) Fail("pipe");
    pid_ = ::fork();
    if (pid_ < 0) Fail("fork");
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

    std::string line;
    char c = 0;
    while (line.empty() || line.back() != '\n') {
        pollfd fd{output_, POLLIN, 0};
        if (::poll(&fd, 1, StartTimeoutMs) <= 0 || ::read(output_, &c, 1) != 1) {
            Stop();
            throw std::runtime_error("zentrel-sim printed no terminal path");
        }
        line += c;
    }
    line.pop_back();
    slavePath_ = line;
}

int SimProcess::Stop()
{
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    ::close(output_);
    return status;
}

std::vector<std::vector<uint8_t>> LoggedFrames(const std::string& logPath, char direction)
{
    static const std::regex entry(R"re(\{"t": [0-9.]+, "dir": "([<>])", "hex": "([0-9A-F ]*)"\})re");
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
