#include "Pty.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>

namespace UpsLink {

namespace {

[[noreturn]] void Fail(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

Pty::Pty()
{
    char name[128] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) Fail("openpty");
    slavePath_ = name;
    termios raw{};
    if (::tcgetattr(slave_, &raw) != 0) Fail("tcgetattr");
    ::cfmakeraw(&raw);
    if (::tcsetattr(slave_, TCSANOW, &raw) != 0) Fail("tcsetattr");
    if (::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK) != 0) Fail("fcntl");
}

Pty::~Pty()
{
    ::close(master_);
    ::close(slave_);
}

void Pty::Write(const std::vector<uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            Fail("write to pty master");
        }
        done += static_cast<std::size_t>(n);
    }
}

std::vector<uint8_t> Pty::Read(std::size_t count, int timeoutMs)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(timeoutMs);
    std::vector<uint8_t> bytes;
    while (bytes.size() < count) {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0) break;
        pollfd fd{master_, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left)) <= 0) continue;
        uint8_t chunk[256];
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

termios Pty::SlaveSettings() const
{
    termios settings{};
    if (::tcgetattr(slave_, &settings) != 0) Fail("tcgetattr");
    return settings;
}

}  // namespace UpsLink
