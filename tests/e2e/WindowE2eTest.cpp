// In real time against zentrel-sim on a pseudo-terminal: the real main window and serial port,
// and the zentrel program itself.
#include <termios.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "Ser2netProcess.h"
#include "SimProcess.h"
#include "app/ScriptedWindow.h"
#include "common/AppTitle.h"
#include "config/ScrambledFiles.h"
#include "link/Globals.h"
#include "platform/LineFile.h"
#include "platform/qt/SerialPort.h"
#include "platform/qt/SystemClock.h"
#include "ups/Globals.h"

namespace UpsLink::Testing {

std::string FileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "";
}

// The real port and clock behind the real window.
struct RealSeams {
    SerialPort port;
    SystemClock clock;
    ScriptedWindow window;
    InstalledSeams seams{port, clock, window};
};

// The line speed of device through this process's own open descriptor on it; 0 when none is open.
speed_t LineSpeed(const std::string& device)
{
    termios line{};
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd"))
        if (std::error_code error; std::filesystem::read_symlink(fd, error) == device)
            return ::tcgetattr(std::stoi(fd.path().filename()), &line) == 0 ? ::cfgetospeed(&line) : 0;
    return 0;
}

// The real port opened on what is no terminal and on the simulator's; then one connect, the update
// of the worked example, and module 2 selected in the dialog and connected to: the simulator's log
// of frames and its EEPROM, and the wire trace beside them.
TEST(WindowE2e, OpenThePortUpdateTheWorkedExampleThenSwitchToModule2)
{
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(name).toStdString(); };
    std::ofstream(path("280_e2e.pp"), std::ios::binary) << Scrambled(WorkedExample);
    SimProcess sim({"--modules", "5,2", "--log", path("sim.log"), "--eeprom", path("eeprom.txt")});
    std::string refusal;
    const auto trace = LineFile::OpenNamed(path("wire.trace"), "trace", refusal);
    RealSeams real;
    TraceWire(real.port, *trace);
    ScriptedWindow& window = real.window;
    // The real port first: what is no terminal fails, struck through; on the terminal the line speed follows.
    const struct { std::string device, baud; Lines board; speed_t speed; } opens[] = {
        {path("missing"), "19200", {"Invalid port number"}, 0},
        {path("280_e2e.pp"), "19200", {"Unable to open port"}, 0},
        {sim.SlavePath(), "9600", {}, B9600}, {sim.SlavePath(), "19200", {}, B19200}};
    for (const auto& o : opens) {
        NamePort(1, QString::fromStdString(o.device));
        window.BoardClear();
        InitPort(o.baud, "N", 8, 1, "1");
        EXPECT_EQ(std::tuple(window.BoardLines(), window.PortLabelStruck(), window.lblSettings->text().toStdString(),
                             LineSpeed(sim.SlavePath())),
                  std::tuple(o.board, !o.board.empty(), " COM1," + o.baud + ",N,8,1", o.speed)) << o.device;
    }

    window.cmdConnect->click();
    ASSERT_EQ(window.BoardLines(), (Lines{"Connecting...", "UPS Found", "Done"}));
    window.Answers.Queue = {path("280_e2e.pp"), MsgAnswer::Ok};
    window.cmdBattComm->click();
    EXPECT_EQ(std::tuple(window.BoardLines(), window.Caption()),
              std::tuple(Lines{"Updating configuration...", "Configuration update complete"}, "Zentrel   280_e2e.pp"));
    SwitchToModule(window, "2");
    EXPECT_EQ(std::tuple(window.BoardLines(), UpsType),
              std::tuple(Lines{"Connecting...", "Module 2 Found", "Done"}, 281));
    sim.Stop();

    EXPECT_EQ(FileText(dir.filePath("eeprom.txt")), "12: 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF\n13: F4 01\n");
    // Each record after a select of the UPS itself, module "0"; then the list, and module 2 selected.
    const Bytes sent = Joined(LoggedFrames(path("sim.log"), '>'));
    EXPECT_EQ(sent, ConnectFrames + Hex("AB 03 CE 00 00 84 AB 12 78 0C 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF "
                                        "C7  AB 03 CE 00 00 84  AB 04 78 0D F4 01 D7  AB 02 78 00 DB  "
                                        "AB 03 CE 00 FF 85  AB 03 CE 00 02 82") + ConnectFrames);
    // The trace: lines of time of day, direction and bytes; every byte sent, every byte answered.
    const std::string line = R"(\d\d:\d\d:\d\d\.\d{3}  ([<>])  ([0-9A-F]{2}(?: [0-9A-F]{2})*)\n)";
    const std::string text = FileText(dir.filePath("wire.trace"));
    const std::regex each(line);
    EXPECT_TRUE(std::regex_match(text, std::regex("(" + line + ")+"))) << text;
    Bytes traced[2];
    for (std::sregex_iterator match(text.begin(), text.end(), each), end; match != end; ++match)
        traced[(*match)[1] == "<"] = traced[(*match)[1] == "<"] + Hex((*match)[2]);
    EXPECT_EQ(std::tuple(traced[0], traced[1]), std::tuple(sent, Joined(LoggedFrames(path("sim.log"), '<'))));
}

// The cable pulled in the middle of an update to the UPS behind which modules sit, so each record
// follows a select of the UPS itself: the simulator killed once it took the select before record 4.
// Records 1 to 3 were acknowledged and stay written; record 4 fails, the closed port is struck, the
// window is enabled again. With a simulator back behind the same path, the port settings applied
// again reopen the port and a connect finds the UPS.
TEST(WindowE2e, PulledCableInTheMiddleOfAnUpdate)
{
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(name).toStdString(); };
    std::ofstream(path("280_e2e.pp"), std::ios::binary)
        << Scrambled("1,0001;\r\n2,0002;\r\n3,0003;\r\n4,0004;\r\n5,0005;\r\n6,0006;\r\n");
    auto sim = std::make_unique<SimProcess>(
        std::vector<std::string>{"--modules", "5", "--log", path("sim.log"), "--eeprom", path("eeprom.txt")});
    std::filesystem::create_symlink(sim->SlavePath(), path("ttyUPS"));
    NamePort(1, QString::fromStdString(path("ttyUPS")));
    RealSeams real;
    ScriptedWindow& window = real.window;
    InitPort("19200", "N", 8, 1, "1");
    window.cmdConnect->click();
    ASSERT_EQ(window.BoardLines(), (Lines{"Connecting...", "UPS Found", "Done"}));

    QElapsedTimer elapsed;
    std::atomic<qint64> pulledAt = 0;
    elapsed.start();
    std::thread cable([&] {
        const std::string select = R"("dir":">","hex":"AB 03 CE 00 00 84")";
        for (int i = 0; i < 3000; ++i, QThread::msleep(5)) {
            const std::string log = FileText(dir.filePath("sim.log"));
            std::size_t seen = 0;
            for (auto at = log.find(select); at != std::string::npos; at = log.find(select, at + 1)) ++seen;
            if (seen == 4) break;
        }
        sim->Stop(SIGKILL);
        pulledAt = elapsed.elapsed();
    });
    window.Answers.Queue = {path("280_e2e.pp"), MsgAnswer::Ok};
    window.cmdBattComm->click();
    cable.join();
    // The select, record 4 and the closing command each fail on the vanished device within the
    // 15-second window of a command; the reopen finds no device behind the path.
    const Lines gone{"8012 The device is not open 5"};
    EXPECT_EQ(std::tuple(window.BoardLines(), window.isEnabled(), window.PortLabelStruck(), Connected),
              std::tuple(Lines{"Updating configuration..."} + gone + gone + Lines{"Error updating #4"} + gone +
                             Lines{"Configuration update Error", "Invalid port number"},
                         true, true, false));
    EXPECT_LT(elapsed.elapsed() - pulledAt, 3 * 15000);
    EXPECT_EQ(FileText(dir.filePath("eeprom.txt")), "1: 01 00\n2: 02 00\n3: 03 00\n");

    sim = std::make_unique<SimProcess>();
    std::filesystem::remove(path("ttyUPS"));
    std::filesystem::create_symlink(sim->SlavePath(), path("ttyUPS"));
    OnModal settings([](QWidget& dialog) {
        dialog.findChild<QPushButton*>("cmdApply")->click();
        dialog.close();
    });
    window.cmdPortSettings->click();
    window.cmdConnect->click();
    EXPECT_EQ(window.BoardLines(), (Lines{"Connecting...", "UPS Found", "Done"}));
}

// The window with COM1 named as a port of a console server (ser2net over RFC 2217 in front of the
// simulator): the label as for a local port, and a connect that finds the UPS.
TEST(WindowE2e, ConnectToAUnitBehindAConsoleServer)
{
    SimProcess sim(std::vector<std::string>{});
    Ser2netProcess server(sim.SlavePath(), true);
    NamePort(1, QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.TcpPort()));
    RealSeams real;
    ScriptedWindow& window = real.window;
    InitPort("19200", "N", 8, 1, "1");
    window.cmdConnect->click();
    EXPECT_EQ(std::tuple(window.lblSettings->text().toStdString(), window.PortLabelStruck(), window.BoardLines()),
              std::tuple(" COM1,19200,N,8,1", false, Lines{"Connecting...", "UPS Found", "Done"}));
    window.cmdConnect->click();
    EXPECT_EQ(window.BoardLines(), (Lines{"Disconnecting...", "Complete"}));
}

// The zentrel program. Help, version and refusals end at once, before any window (a window would
// keep it running): status 0 with says in standard output, or status 2 with says as all of
// standard error. A short run ended as a desktop ends it (SIGTERM) appends the board's one line to
// the log with its date and time; nothing was sent or read, so the trace keeps what it held.
TEST(ZentrelE2e, CommandLineAndTheLogAndTraceOfAShortRun)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("none/file"), log = dir.filePath("board.log"), trace = dir.filePath("wire");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZENTREL_COM1", "/dev/null");  // --com names COM1 before it
    const struct { QStringList arguments; int status; QString says; } cases[] = {
        {{"--version"}, 0, QString("Zentrel " ZENTREL_VERSION "\n") + UpsLink::LicenceNotice},
        {{"--help"}, 0, "  --com <N=DEVICE>  Name DEVICE as COM port N for this run"},
        {{"--logfile", "x"}, 2, "zentrel: Unknown option 'logfile'. (see zentrel --help)\n"},
        {{"--help-all"}, 2, "zentrel: Unknown option 'help-all'. (see zentrel --help)\n"},
        {{"--com", "x"}, 2, "zentrel: --com wants N=DEVICE, not 'x' (see zentrel --help)\n"},
        {{"stray"}, 2, "zentrel: unexpected argument 'stray' (see zentrel --help)\n"},
        {{"--log", missing}, 2, "zentrel: cannot open log file " + missing + ": No such file or directory\n"},
        {{"--trace", missing}, 2, "zentrel: cannot open trace file " + missing + ": No such file or directory\n"}};
    for (const auto& c : cases) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(ZENTREL_BINARY, c.arguments);
        program.waitForFinished(10000);
        const QString out = program.readAllStandardOutput(), error = program.readAllStandardError();
        EXPECT_EQ(std::tuple(program.exitCode(), c.status ? error : out.contains(c.says) ? c.says : out,
                             c.status ? out : error),
                  std::tuple(c.status, c.says, "")) << c.arguments.join(' ').toStdString();
    }
    for (const QString& path : {log, trace}) std::ofstream(path.toStdString()) << "kept\n";
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(ZENTREL_BINARY, {"--log", log, "--trace=" + trace, "--com", "1=" + dir.filePath("missing")});
    for (int i = 0; i < 500 && FileText(log) == "kept\n"; ++i) QThread::msleep(10);
    program.terminate();
    program.waitForFinished(5000);
    EXPECT_EQ(std::tuple(program.exitStatus(), program.exitCode(), FileText(trace)),
              std::tuple(QProcess::NormalExit, 0, "kept\n"));
    const std::regex logged(R"(kept\n\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  Invalid port number\n)");
    EXPECT_TRUE(std::regex_match(FileText(log), logged)) << FileText(log);
}

}  // namespace UpsLink::Testing
