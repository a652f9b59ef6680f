// The update's speed through the real main window, offscreen:
//  (a) load and parse of a 32,765-byte configuration file, median of 9 runs;
//  (b) an update of 20 records to zentrel-sim on a pseudo-terminal at 19200 baud, against the
//      pacing floor that the program's own pauses set.
#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>

#include "Main.h"
#include "config/Globals.h"
#include "config/LoadConfigFile.h"
#include "frmMain.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "platform/Seams.h"
#include "platform/qt/SerialPort.h"
#include "platform/qt/SystemClock.h"
#include "update/Pacing.h"
#include "ups/Globals.h"

using namespace UpsLink;
using Wall = std::chrono::steady_clock;

namespace {

constexpr int LoadRuns = 9;
constexpr int Records = 20;

// The main window answering its file dialog with File and every box with OK.
struct BenchWindow : ::frmMain {
    BenchWindow() : ::frmMain(nullptr) { EndProcess = [] {}; }
    MsgAnswer MessageBox(const MessageRequest&) override { return MsgAnswer::Ok; }
    std::string ChooseOpenFile(const OpenFileRequest&) override { return File; }
    std::string File;
};

// A configuration file as the engineer receives it: scrambled with the file key.
std::string WriteConfig(const QTemporaryDir& dir, const char* name, std::string text)
{
    for (std::size_t p = 0; p < text.size(); ++p)
        text[p] = static_cast<char>(text[p] + FileKey[(p + 1) % FileKey.size()]);
    std::string path = dir.filePath(name).toStdString();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

double MsSince(Wall::time_point start)
{
    return std::chrono::duration<double, std::milli>(Wall::now() - start).count();
}

int Fail(const char* why)
{
    std::fprintf(stderr, "zentrel-bench: %s\n", why);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    // Without the module select in its command list, so no select goes before each record.
    QProcess sim;
    sim.start(ZENTREL_SIM, {"--baud", "19200", "--commands", "40,A0,36,78,CF,FF"});
    if (!sim.waitForReadyRead(5000)) return Fail("zentrel-sim printed no terminal");
    NamePort(1, QString::fromLocal8Bit(sim.readLine().trimmed()));
    SerialPort port;
    SystemClock clock;
    BenchWindow* window = nullptr;
    const auto shown = Main(port, clock, [&] {
        auto loaded = std::make_unique<BenchWindow>();
        window = loaded.get();
        return loaded;
    });
    if (!shown) return Fail("the main window did not start");
    window->cmdConnect->click();
    if (!Connected) return Fail("no connection to zentrel-sim");

    std::string largest;
    while (largest.size() < 32765) largest += "1,AB;";
    window->File = WriteConfig(dir, "280_largest.pp", largest);
    std::vector<double> loads;
    for (int run = 0; run < LoadRuns; ++run) {
        const auto start = Wall::now();
        if (!LoadConfigFile(UpsType).Taken || RecordNumbers.size() != 6553) return Fail("the largest file did not load");
        loads.push_back(MsSince(start));
    }
    std::sort(loads.begin(), loads.end());
    std::printf("(a) load and parse of a 32,765-byte file (6,553 records): median %.1f ms of %d runs (%.1f to %.1f)\n",
                loads[LoadRuns / 2], LoadRuns, loads.front(), loads.back());

    std::string twenty;
    for (int record = 1; record <= Records; ++record)
        twenty += std::to_string(record) + (record % 2 ? ",1F4;\r\n" : ",00FF00FF00FF00FF00FF00FF00FF00FF;\r\n");
    window->File = WriteConfig(dir, "280_twenty.pp", twenty);
    const auto start = Wall::now();
    window->cmdBattComm->click();
    const double wallMs = MsSince(start);
    if (window->BoardLines() != std::vector<std::string>{"Updating configuration...", "Configuration update complete"})
        return Fail("the update did not complete");
    const double floorMs = static_cast<double>(PacedUpdateTime(Records, false).count());
    std::printf("(b) update of %d records to zentrel-sim at 19200 baud: %.0f ms, pacing floor %.0f ms, ratio %.3f\n",
                Records, wallMs, floorMs, wallMs / floorMs);

    shown->close();
    sim.terminate();
    sim.waitForFinished();
    return 0;
}
