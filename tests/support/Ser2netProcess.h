#pragma once

#include <sys/types.h>

#include <csignal>
#include <string>

namespace UpsLink::Testing {

// ser2net serving one device on 127.0.0.1 only, over RFC 2217 or as raw TCP, on a free port:
// listening when the constructor returns. The destructor stops it with SIGTERM.
class Ser2netProcess {
public:
    Ser2netProcess(const std::string& device, bool rfc2217);
    ~Ser2netProcess();
    Ser2netProcess(const Ser2netProcess&) = delete;
    Ser2netProcess& operator=(const Ser2netProcess&) = delete;

    int TcpPort() const { return port_; }
    // Sends signal and waits; SIGKILL drops every connection at once.
    void Stop(int signal = SIGTERM);

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string config_;
};

}  // namespace UpsLink::Testing
