#include "Ser2netProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace UpsLink::Testing {

namespace {

// A port nobody listens on now: the system's pick for a socket bound to port 0.
int FreePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                       ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0;
    if (fd >= 0) ::close(fd);
    if (!bound) throw std::runtime_error("no free TCP port");
    return ntohs(address.sin_port);
}

// Whether 127.0.0.1:port is listening, from the kernel's table: a probe connection would open the
// device behind it.
bool Listening(int port)
{
    char local[32];
    std::snprintf(local, sizeof local, "0100007F:%04X", port);
    std::ifstream table("/proc/net/tcp");
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string slot, address, remote, state;
        fields >> slot >> address >> remote >> state;
        if (address == local && state == "0A") return true;
    }
    return false;
}

}  // namespace

Ser2netProcess::Ser2netProcess(const std::string& device, bool rfc2217) : port_(FreePort())
{
    char name[] = "/tmp/zentrel-ser2net-XXXXXX.yaml";
    const int fd = ::mkstemps(name, 5);
    if (fd < 0) throw std::runtime_error("cannot write a ser2net configuration");
    ::close(fd);
    config_ = name;
    std::ofstream(config_) << "connection: &unit\n"
                           << "  accepter: " << (rfc2217 ? "telnet(rfc2217),tcp," : "tcp,") << "127.0.0.1," << port_
                           << "\n  connector: serialdev," << device << ",19200n81,local\n";

    if ((pid_ = ::fork()) < 0) throw std::runtime_error("cannot start ser2net");
    if (pid_ == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        // Its notes on standard output and error are not the test's.
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execlp("ser2net", "ser2net", "-n", "-d", "-c", config_.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int tries = 0; !Listening(port_); ++tries) {
        const bool ended = ::waitpid(pid_, nullptr, WNOHANG) != 0;
        if (ended) pid_ = -1;
        if (ended || tries == 500) {
            Stop();
            ::unlink(config_.c_str());
            throw std::runtime_error("ser2net is not listening on port " + std::to_string(port_));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

Ser2netProcess::~Ser2netProcess()
{
    Stop();
    if (!config_.empty()) ::unlink(config_.c_str());
}

void Ser2netProcess::Stop(int signal)
{
    if (pid_ <= 0) return;
    ::kill(pid_, signal);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

}  // namespace UpsLink::Testing
