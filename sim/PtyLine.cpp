#include "PtyLine.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace UpsLink {

namespace {

double SteadyNs()
{
    return static_cast<double>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

void MakeRaw(int fd)
{
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) throw std::runtime_error(std::string("tcgetattr: ") + std::strerror(errno));
    ::cfmakeraw(&settings);
    if (::tcsetattr(fd, TCSANOW, &settings) != 0)
        throw std::runtime_error(std::string("tcsetattr: ") + std::strerror(errno));
}

}  // namespace

PtyLine::PtyLine(Unit& unit, int baudRate) : unit_(unit), byteMs_(ByteTimeMs(baudRate)), startNs_(SteadyNs())
{
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error(std::string("openpty: ") + std::strerror(errno));
    slavePath_ = name;
    try {
        MakeRaw(slave_);
        MakeRaw(master_);
    } catch (...) {
        ::close(master_);
        ::close(slave_);
        throw;
    }
    // A full line never stops the unit: what the pty cannot take yet is written when it can.
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    unit_.SetBaudRate(baudRate);
}

PtyLine::~PtyLine()
{
    ::close(master_);
    ::close(slave_);
}

double PtyLine::NowMs() const
{
    return (SteadyNs() - startNs_) / 1e6;
}

// Each byte is due when it has finished crossing the line, as on a real cable.
void PtyLine::Schedule(const Emission& emission)
{
    double at = std::max(emission.AtMs, lineFreeAtMs_);
    for (uint8_t byte : emission.Bytes) {
        at += byteMs_;
        line_.push_back({at, byte});
    }
    lineFreeAtMs_ = at;
}

void PtyLine::WriteDue()
{
    const double now = NowMs();
    while (!line_.empty() && line_.front().AtMs <= now) {
        unwritten_.push_back(line_.front().Byte);
        line_.pop_front();
    }
    if (unwritten_.empty()) return;
    const ssize_t written = ::write(master_, unwritten_.data(), unwritten_.size());
    if (written < 0 && errno != EAGAIN && errno != EINTR)
        throw std::runtime_error(std::string("write: ") + std::strerror(errno));
    if (written > 0) unwritten_.erase(unwritten_.begin(), unwritten_.begin() + written);
}

void PtyLine::Serve(int stopFd, const std::function<void()>& afterReceive)
{
    pollfd fds[2] = {{master_, POLLIN, 0}, {stopFd, POLLIN, 0}};
    std::vector<uint8_t> buffer(4096);
    for (;;) {
        WriteDue();
        // The rest of a short write waits for room, not for its time.
        fds[0].events = unwritten_.empty() ? POLLIN : POLLIN | POLLOUT;
        timespec wait{};
        timespec* timeout = nullptr;
        if (!line_.empty()) {
            const double ns = std::max(0.0, (line_.front().AtMs - NowMs()) * 1e6);
            wait.tv_sec = static_cast<time_t>(ns / 1e9);
            wait.tv_nsec = static_cast<long>(std::fmod(ns, 1e9));
            timeout = &wait;
        }
        if (::ppoll(fds, 2, timeout, nullptr) < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error(std::string("ppoll: ") + std::strerror(errno));
        }
        if (fds[1].revents) return;
        if (fds[0].revents & POLLIN) {
            const ssize_t count = ::read(master_, buffer.data(), buffer.size());
            if (count > 0) {
                const double now = NowMs();
                for (const Emission& emission : unit_.Receive({buffer.begin(), buffer.begin() + count}, now))
                    Schedule(emission);
                afterReceive();
            }
        }
    }
}

}  // namespace UpsLink
