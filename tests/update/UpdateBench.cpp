// The two figures of the update's speed, through the real main window (offscreen):
//  (a) loading and parsing a 32,765-byte configuration file, median of several runs;
//  (b) an update of 20 records to zentrel-sim on a pseudo-terminal at 19200 baud, against the
//      pacing floor the protocol's pauses set.
#include <QApplication>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "ScriptedWindow.h"
#include "common/AppTitle.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "ups/Globals.h"
#include "config/ConfigFiles.h"
#include "config/LoadConfigFile.h"
#include "link/Frame.h"
#include "platform/qt/SystemClock.h"
#include "platform/Seams.h"
#include "platform/qt/SerialPort.h"
#include "support/SimProcess.h"
#include "update/ConfigWrite.h"

using namespace UpsLink;
using namespace UpsLink::Testing;
using WallClock = std::chrono::steady_clock;

namespace {

constexpr int LoadRuns = 9;
constexpr int UpdateRecords = 20;
constexpr int BaudRate = 19200;
constexpr double PauseBeforeWriteMs = 20;
constexpr double PauseAfterWriteMs = 500;
constexpr double ReadingMs = 800;  // the quiet poll of 600 ms and the 200 ms before the read
constexpr int AckReplyBytes = 6;   // AB 09 01 81 code checksum

double Seconds(WallClock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double LineMs(std::size_t bytes)
{
    return static_cast<double>(bytes) * 10.0 * 1000.0 / BaudRate;
}

int LoadFigure(const FileFolder& folder)
{
    const std::string path = folder.WriteConfig("280_largest.pp", LargestFile());

    ::setenv("ZENTREL_COM1", folder.Path("no-port").c_str(), 1);
    SerialPort port;
    SystemClock clock;
    const auto window = StartScripted(port, clock);
    if (!window) return 1;
    UpsType = 280;

    std::vector<double> times;
    for (int run = 0; run < LoadRuns; ++run) {
        window->FileAnswers.push_back(path);
        const auto start = WallClock::now();
        const bool read = LoadConfigFile(UpsType);
        times.push_back(Seconds(WallClock::now() - start) * 1000.0);
        if (!read || RecordNumbers.size() != 6553) {
            std::fprintf(stderr, "the 32,765-byte file did not load\n");
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "(a) load and parse of a 32,765-byte file (6,553 records) through the main window:\n"
        "    median %.1f ms of %d runs (fastest %.1f ms, slowest %.1f ms)\n",
        times[times.size() / 2], LoadRuns, times.front(), times.back());
    return 0;
}

int UpdateFigure(const FileFolder& folder)
{
    std::string plain;
    double floorMs = 0;
    for (int record = 1; record <= UpdateRecords; ++record) {
        const std::string data = record % 2 ? "1F4" : "00FF00FF00FF00FF00FF00FF00FF00FF";
        plain += std::to_string(record) + "," + data + ";\r\n";
        const std::vector<uint8_t> payload = ConfigWritePayload(std::to_string(record), data);
        floorMs += PauseBeforeWriteMs + PauseAfterWriteMs + ReadingMs +
                   LineMs(BuildFrame(static_cast<int>(payload.size()), payload).size() + AckReplyBytes);
    }
    const double closingMs = PauseAfterWriteMs + ReadingMs + LineMs(5 + AckReplyBytes);
    floorMs += closingMs;
    const std::string path = folder.WriteConfig("280_twenty.pp", plain);

    // Without the module select command in its list, so no select precedes the writes.
    SimProcess sim({"--baud", std::to_string(BaudRate), "--commands", "40,A0,36,78,CF,FF"});
    ::setenv("ZENTREL_COM1", sim.SlavePath().c_str(), 1);
    SerialPort port;
    SystemClock clock;
    const auto window = StartScripted(port, clock);
    if (!window) return 1;
    window->cmdConnect->click();
    if (!Connected) {
        std::fprintf(stderr, "could not connect to zentrel-sim\n");
        return 1;
    }

    window->FileAnswers.push_back(path);
    const auto start = WallClock::now();
    window->cmdBattComm->click();
    const double wallMs = Seconds(WallClock::now() - start) * 1000.0;
    const std::vector<std::string> board = window->BoardLines();
    if (board.empty() || board.back() != "Configuration update complete") {
        std::fprintf(stderr, "the update did not complete\n");
        return 1;
    }
    std::printf(
        "(b) update of %d records to zentrel-sim on a pseudo-terminal at %d baud:\n"
        "    wall time %.0f ms, pacing floor %.0f ms, ratio %.3f\n"
        "    floor = sum over records of (20 ms pause + 500 ms after the frame + 800 ms reading the answer\n"
        "            + line time of frame and 6-byte answer at 10 bits a byte)\n"
        "          + closing command (500 ms + 800 ms + line time of its 5-byte frame and answer)\n",
        UpdateRecords, BaudRate, wallMs, floorMs, wallMs / floorMs);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    FileFolder folder;
    int status = LoadFigure(folder);
    if (status == 0) status = UpdateFigure(folder);
    InstallShell(nullptr);
    InstallPort(nullptr);
    InstallClock(nullptr);
    return status;
}
