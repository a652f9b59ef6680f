// The stop request of the window, the command line and the simulator, with real signals.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <memory>

#include "platform/qt/StopRequest.h"

namespace UpsLink::Testing {

namespace {

struct CoreEnvironment : ::testing::Environment {
    void SetUp() override { app = std::make_unique<QCoreApplication>(argc, argv); }
    void TearDown() override { app.reset(); }
    int argc = 1;
    char name[6] = "tests", *argv[2] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
};
const auto* const coreEnvironment = ::testing::AddGlobalTestEnvironment(new CoreEnvironment);

// The other end of the pipe whose read end is readEnd, found among the process's descriptors.
int WriteEndOf(int readEnd)
{
    struct stat wanted {};
    ::fstat(readEnd, &wanted);
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const int fd = std::stoi(entry.path().filename());
        struct stat found {};
        if (fd != readEnd && ::fstat(fd, &found) == 0 && S_ISFIFO(found.st_mode) && found.st_ino == wanted.st_ino &&
            found.st_dev == wanted.st_dev)
            return fd;
    }
    return -1;
}

// Both descriptor flags of fd: close on exec, and never blocking.
std::pair<bool, bool> Flags(int fd)
{
    return {(::fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0, (::fcntl(fd, F_GETFL) & O_NONBLOCK) != 0};
}

struct StopCase {
    const char* Name;
    int Signal;
    bool PipeFull;  // the wake-up cannot be written
};

const StopCase Cases[] = {{"Sigterm", SIGTERM, false}, {"Sigint", SIGINT, false},
                          {"Sighup", SIGHUP, false}, {"SigtermPipeFull", SIGTERM, true},
                          {"SigintPipeFull", SIGINT, true}};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.Name; }

class StopRequestSignals : public testing::TestWithParam<StopCase> {};

// The handler notes the request and leaves errno as it found it; the action runs once, from the
// event loop.
TEST_P(StopRequestSignals, NotedAtOnceActedOnOnceFromTheEventLoop)
{
    const StopCase& c = GetParam();
    CatchStopRequests();
    const int readEnd = StopRequestDescriptor(), writeEnd = WriteEndOf(readEnd);
    ASSERT_NE(writeEnd, -1);
    QObject context;
    int runs = 0;
    OnStopRequest(&context, [&] { ++runs; });
    if (c.PipeFull) {
        const char byte = 0;
        while (::write(writeEnd, &byte, 1) == 1) {
        }
    }
    errno = EDOM;
    ::raise(c.Signal);
    const int errnoAfter = errno, runsBefore = runs;
    QCoreApplication::processEvents();
    const int runsAfter = runs;
    QCoreApplication::processEvents();
    EXPECT_EQ(std::tuple(StopRequested(), errnoAfter, runsBefore, runsAfter, runs), std::tuple(true, EDOM, 0, 1, 1));
    const std::pair<bool, bool> both{true, true};
    EXPECT_EQ(std::tuple(Flags(readEnd), Flags(writeEnd)), std::tuple(both, both));
}

INSTANTIATE_TEST_SUITE_P(Signals, StopRequestSignals, testing::ValuesIn(Cases),
                         [](const auto& info) { return info.param.Name; });

}  // namespace

}  // namespace UpsLink::Testing
