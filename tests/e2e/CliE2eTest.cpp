// zentrel-cli in real time against zentrel-sim on a pseudo-terminal: its lines and exit status,
// and what the unit received and kept.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "Ser2netProcess.h"
#include "SimProcess.h"
#include "ups/Wire.h"

namespace UpsLink::Testing {

using Lines = std::vector<std::string>;

namespace {

// A command frame: AB, the payload's length, the payload, the two's complement of their sum.
std::vector<Bytes> Framed(const Payloads& payloads)
{
    std::vector<Bytes> frames;
    for (const Bytes& payload : payloads) {
        Bytes frame = Bytes{0xAB, static_cast<uint8_t>(payload.size())} + payload;
        unsigned sum = 0;
        for (uint8_t b : frame) sum += b;
        frames.push_back(frame + Bytes{static_cast<uint8_t>(-sum)});
    }
    return frames;
}

// The demo file's four records, the module select of the UPS itself before each when the unit
// lists CE, the closing command and the disconnect's opening command.
const Bytes R1 = Hex("78 01 58 02"), R2 = Hex("78 02 F4 01"), R4 = Hex("78 0D F4 01"), Select = Hex("CE 00 00");
const Bytes R3 = Hex("78 0C 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF");
const Bytes Close = Hex("78 00"), Opening = Hex("FF"), List = Hex("40"), Ident = Hex("A0"), Type = Hex("36");
const Bytes Session = Hex("FF 06 08 62"), ListModules = Hex("CE 00 FF");
const std::string Kept1 = "1: 58 02\n2: F4 01\n", Kept3 = "12: 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF\n13: F4 01\n";
const Lines Up{"Connecting...", "UPS Found", "Done"}, Down{"Disconnecting...", "Complete"};
const Lines NoUps{"Connecting...", "NO UPS Found", "Done"};
const Lines Identity{"type code 280", "module selection supported", "supported commands 40 A0 36 CE 78 CF FF",
                     "processor versions 1.23 0.00 0.00 0.00 0.00"};
const Lines Listed{"Determining Modules Supported...", "Done", "module 2", "module 5"};
// Each awaited request of the connect unanswered: sent six times, and no type request after A0.
const Payloads Unanswered = Payloads{Opening} + Payloads(6, List) + Payloads{Access} + Payloads(6, Ident);
const Payloads Updated{R1, R2, R3, R4, Close, Opening};
const Lines Plan{"4 records, about 1 min", "Updating configuration..."};
const std::vector<std::string> NoCe{"--commands", "40,A0,36,78,CF,FF"};
// The line lost before the third record: its flush and write fail, the closing command's too, and the
// port cannot be opened again, so there is no disconnect.
const Lines Lost{"8012 The device is not open 2", "8012 The device is not open 5", "Error updating #12",
                 "8012 The device is not open 2", "8012 The device is not open 5", "Configuration update Error",
                 "8012 The device is not open 2", "Unable to open port", "stopped at record 3 of 4; resume with --from 3"};

// How zentrel-cli reaches each unit: its pseudo-terminal, or ser2net in front of it; a row runs
// over each way it names, and through ser2net on 127.0.0.1 the unit takes the same frames as over
// its own line (the third record's 0xFF bytes among them) and keeps the same records. Wine: the
// Windows build (ZENTREL_WINE_CLI, when set) under Wine, its COM7 the unit's pseudo-terminal.
enum class Via { Pty, Rfc2217, Tcp, Wine };
using Vias = std::vector<Via>;
const Vias PtyOnly{Via::Pty}, Network{Via::Rfc2217, Via::Tcp}, Everywhere{Via::Pty, Via::Rfc2217, Via::Tcp},
    PtyAndWine{Via::Pty, Via::Wine}, EverywhereAndWine{Via::Pty, Via::Rfc2217, Via::Tcp, Via::Wine};

// What happens to the run: nothing, a stop request (SIGTERM; Ctrl+C under Wine) or ser2net killed
// while the second record is written, another client holding ser2net's port throughout, or the
// command line given a COM port with nothing behind it.
enum class Event { None, StopInRecord2, KillServerInRecord2, PortHeld, PortEmpty };

struct CliCase {
    const char* Name;
    Vias Transports;
    int Units;                     // simulated units, one --port each
    std::vector<std::string> Sim;  // besides --log and --eeprom
    QStringList Arguments;         // after --port; DEMO is the demo file
    Event During;
    int FarBaud;                   // the rate of the unit's pseudo-terminal once connected; 0: not looked at
    int Status;
    Lines Out;
    Payloads Received;             // every frame the unit took, as payloads
    std::string Eeprom;
    std::string Err;               // standard error, whole; ADDRESS is ser2net's
};

const CliCase Cases[] = {
    {"Identify", EverywhereAndWine, 1, {}, {"identify"}, Event::None, 0, 0, Up + Identity + Down, FullConnect + Payloads{Opening}, "", ""},
    {"Modules", PtyAndWine, 1, {"--modules", "5,255,2"}, {"modules"}, Event::None, 0, 0,
     Up + Lines{"Determining Modules Supported...", "Done", "module 5", "module 2"} + Down,
     FullConnect + Payloads{ListModules, Opening}, "", ""},
    {"UpdateWithYes", EverywhereAndWine, 1, {}, {"update", "DEMO", "--yes"}, Event::None, 0, 0,
     Up + Plan + Lines{"Configuration update complete"} + Down,
     FullConnect + Payloads{Select, R1, Select, R2, Select, R3, Select, R4, Close, Opening}, Kept1 + Kept3, ""},
    {"NoYesNoTerminalSendsNothing", PtyOnly, 1, {}, {"update", "DEMO"}, Event::None, 0, 2, {}, {}, "",
     "zentrel-cli: update asks before writing; without a terminal give --yes\n"},
    {"UnreadableFileRefused", PtyAndWine, 1, {}, {"update", "/nonexistent/280_x.pp", "--yes"}, Event::None, 0, 4,
     Up + Lines{"Error Loading File"} + Down, FullConnect + Payloads{Opening}, "", "zentrel-cli: 53 File not found\n"},
    {"RefusedRecordStops", EverywhereAndWine, 1, NoCe + std::vector<std::string>{"--refuse-record", "12"}, {"update", "DEMO", "--yes"}, Event::None, 0,
     1,
     Up + Plan + Lines{"Error updating #12", "Configuration update Error", "stopped at record 3 of 4; resume with --from 3"} +
         Down,
     FullConnect + Payloads{R1, R2, R3, Close, Opening}, Kept1, ""},
    {"ResumeFrom3", EverywhereAndWine, 1, NoCe, {"update", "DEMO", "--from", "3", "--yes"}, Event::None, 0, 0,
     Up + Lines{"2 records, about 1 min", "Updating configuration...", "Configuration update complete"} + Down,
     FullConnect + Payloads{R3, R4, Close, Opening}, Kept3, ""},
    {"TwoUnitsAtOnce", PtyOnly, 2, NoCe, {"update", "DEMO", "--yes"}, Event::None, 0, 0,
     Up + Plan + Lines{"Configuration update complete"} + Down, FullConnect + Updated, Kept1 + Kept3, ""},
    {"SigtermMidUpdate", PtyAndWine, 1, NoCe, {"update", "DEMO", "--yes"}, Event::StopInRecord2, 0, 130,
     Up + Plan + Lines{"Configuration update Error", "interrupted at record 3 of 4; resume with --from 3"} + Down,
     FullConnect + Payloads{R1, R2, Close, Opening}, Kept1, ""},
    // The faults of the unit. Busy, late, a bad checksum or a stray byte before a data reply: that request again.
    {"BusyFirst2", PtyOnly, 1, {"--busy-first", "2"}, {"identify"}, Event::None, 0, 0, Up + Identity + Down,
     {Opening, List, List, List, Access, Ident, Type, Session, List, Opening}, "", ""},
    {"Late1500", PtyOnly, 1, {"--late", "1500"}, {"identify"}, Event::None, 0, 0, Up + Identity + Down,
     {Opening, List, List, Access, Ident, Ident, Type, Type, Session, List, List, Opening}, "", ""},
    {"BadChecksumIdentification", PtyOnly, 1, {"--bad-checksum", "2"}, {"identify"}, Event::None, 0, 0, Up + Identity + Down,
     {Opening, List, Access, Ident, Ident, Type, Session, List, Opening}, "", ""},
    {"StrayByteTypeCode", PtyOnly, 1, {"--stray-byte", "3"}, {"identify"}, Event::None, 0, 0, Up + Identity + Down,
     {Opening, List, Access, Ident, Type, Type, Session, List, Opening}, "", ""},
    {"BadChecksumModuleList", PtyOnly, 1, {"--bad-checksum", "5"}, {"modules"}, Event::None, 0, 0, Up + Listed + Down,
     FullConnect + Payloads{ListModules, ListModules, Opening}, "", ""},
    {"StrayByteModuleList", PtyOnly, 1, {"--stray-byte", "5"}, {"modules"}, Event::None, 0, 0, Up + Listed + Down,
     FullConnect + Payloads{ListModules, ListModules, Opening}, "", ""},
    // An acknowledgement's checksum is not looked at; a stray byte before it hides its code.
    {"BadChecksumAck", PtyOnly, 1, NoCe + std::vector<std::string>{"--bad-checksum", "5"}, {"update", "DEMO", "--yes"}, Event::None, 0, 0,
     Up + Plan + Lines{"Configuration update complete"} + Down, FullConnect + Updated, Kept1 + Kept3, ""},
    {"StrayByteAck", PtyOnly, 1, NoCe + std::vector<std::string>{"--stray-byte", "6"}, {"update", "DEMO", "--yes"}, Event::None, 0, 0,
     Up + Plan + Lines{"Configuration update complete"} + Down, FullConnect + Payloads{R1, R2, R2, R3, R4, Close, Opening},
     Kept1 + Kept3, ""},
    // Faults that end every connect: the unit is not identified and nothing is written.
    {"Silent", PtyOnly, 1, {"--silent"}, {"identify"}, Event::None, 0, 1, NoUps, Unanswered, "", ""},
    {"SilentUpdate", PtyOnly, 1, {"--silent"}, {"update", "DEMO", "--yes"}, Event::None, 0, 1, NoUps, Unanswered, "", ""},
    {"BusyAlwaysUpdate", PtyOnly, 1, {"--busy-always"}, {"update", "DEMO", "--yes"}, Event::None, 0, 1, NoUps, Unanswered, "", ""},
    {"StalledIdentification", PtyOnly, 1, {"--stall-after", "14", "--stall", "20000"}, {"identify"}, Event::None, 0, 1, NoUps,
     Unidentified + Payloads(5, Ident), "", ""},
    {"CutIdentificationUpdate", PtyOnly, 1, {"--cut", "1"}, {"update", "DEMO", "--yes"}, Event::None, 0, 1,
     Lines{"Connecting...", "9 Subscript out of range 9", "NO UPS Found", "Done"}, Unidentified, "", ""},
    // A line of the record that cannot be written: the command goes on; the reason is told once, and a
    // success becomes 5 while a failure keeps its own status.
    {"LogOnFullDisk", PtyOnly, 1, {}, {"--log", "/dev/full", "identify"}, Event::None, 0, 5, Up + Identity + Down,
     FullConnect + Payloads{Opening}, "", "zentrel-cli: cannot write log file /dev/full: No space left on device\n"},
    {"TraceOnFullDisk", PtyOnly, 1, {}, {"--trace", "/dev/full", "identify"}, Event::None, 0, 5, Up + Identity + Down,
     FullConnect + Payloads{Opening}, "", "zentrel-cli: cannot write trace file /dev/full: No space left on device\n"},
    {"UnreadableFileLogOnFullDisk", PtyOnly, 1, {}, {"--log", "/dev/full", "update", "/nonexistent/280_x.pp", "--yes"}, Event::None, 0, 4,
     Up + Lines{"Error Loading File"} + Down, FullConnect + Payloads{Opening}, "",
     "zentrel-cli: 53 File not found\nzentrel-cli: cannot write log file /dev/full: No space left on device\n"},
    // The rate reaches the far port over RFC 2217; raw TCP leaves it at the server's.
    {"Baud9600", {Via::Rfc2217}, 1, {"--baud", "9600"}, {"--baud", "9600", "identify"}, Event::None, 9600, 0,
     Up + Identity + Down, FullConnect + Payloads{Opening}, "", ""},
    {"Baud9600", {Via::Tcp}, 1, {"--baud", "9600"}, {"--baud", "9600", "identify"}, Event::None, 19200, 0,
     Up + Identity + Down, FullConnect + Payloads{Opening}, "", ""},
    // The server's refusal is the port's open failure, with its own words.
    {"PortInUse", Network, 1, {}, {"identify"}, Event::PortHeld, 0, 3, Lines{"Unable to open port"}, {}, "",
     "zentrel-cli: cannot open ADDRESS: Port already in use\n"},
    // The server gone during a record: the device is no longer open; only the acknowledged records
    // are kept, and the run says where to resume.
    {"ServerKilledMidUpdate", Network, 1, NoCe, {"update", "DEMO", "--yes"}, Event::KillServerInRecord2, 0, 1,
     Up + Plan + Lost, FullConnect + Payloads{R1, R2}, Kept1, ""},
    {"NothingBehindTheComPort", {Via::Wine}, 1, {}, {"identify"}, Event::PortEmpty, 0, 3, Lines{"Invalid port number"}, {},
     "", "zentrel-cli: cannot open COM9: no such device\n"},
};

// One row over one way to the unit, named after both.
struct CliRun {
    const CliCase* Case;
    Via Transport;
    std::string Name() const
    {
        static const char* const suffixes[] = {"", "Rfc2217", "Tcp", "Wine"};
        return Case->Name + std::string(suffixes[static_cast<int>(Transport)]);
    }
};

std::vector<CliRun> Runs()
{
    std::vector<CliRun> runs;
    for (const CliCase& c : Cases)
        for (Via via : c.Transports)
            if (via != Via::Wine || std::getenv("ZENTREL_WINE_CLI")) runs.push_back({&c, via});
    return runs;
}

void PrintTo(const CliRun& run, std::ostream* os) { *os << run.Name(); }

// A client of 127.0.0.1:port that only holds the connection.
int ConnectTo(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
}

// The output rate of a terminal in bits per second; 0 for one not listed here.
int OutputBaud(const std::string& device)
{
    const int fd = ::open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    termios settings{};
    const bool read = fd >= 0 && ::tcgetattr(fd, &settings) == 0;
    if (fd >= 0) ::close(fd);
    if (!read) return -1;
    switch (::cfgetospeed(&settings)) {
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    default: return 0;
    }
}

// COM7 of the Wine prefix stands for $WINEPREFIX/com-peer (mapped once by scripts/windows --check),
// pointed here at the unit's pseudo-terminal; Wine runs take their turns.
void PointComLinkAt(const std::string& device)
{
    const char* prefix = std::getenv("WINEPREFIX");
    const std::string link = std::string(prefix ? prefix : "") + "/com-peer";
    ::unlink(link.c_str());
    ASSERT_EQ(::symlink(device.c_str(), link.c_str()), 0) << link;
}

class CliE2e : public testing::TestWithParam<CliRun> {};

TEST_P(CliE2e, LinesStatusFramesAndEeprom)
{
    const CliCase& c = *GetParam().Case;
    const Via via = GetParam().Transport;
    QTemporaryDir dir;
    const auto path = [&](const char* name, int unit) { return dir.filePath(name + QString::number(unit)).toStdString(); };
    std::vector<std::unique_ptr<SimProcess>> sims;
    std::vector<std::unique_ptr<Ser2netProcess>> servers;
    std::string address;
    QStringList arguments;
    for (int unit = 0; unit < c.Units; ++unit) {
        std::vector<std::string> options = c.Sim;
        options.insert(options.end(), {"--log", path("log", unit), "--eeprom", path("eeprom", unit)});
        sims.push_back(std::make_unique<SimProcess>(options));
        if (via == Via::Pty) {
            arguments << "--port" << QString::fromStdString(sims.back()->SlavePath());
            continue;
        }
        if (via == Via::Wine) {
            PointComLinkAt(sims.back()->SlavePath());
            arguments << "--port" << (c.During == Event::PortEmpty ? "COM9" : "COM7");
            continue;
        }
        servers.push_back(std::make_unique<Ser2netProcess>(sims.back()->SlavePath(), via == Via::Rfc2217));
        address = "127.0.0.1:" + std::to_string(servers.back()->TcpPort());
        arguments << "--port" << QString::fromStdString((via == Via::Rfc2217 ? "rfc2217://" : "tcp://") + address);
    }
    const int holder = c.During == Event::PortHeld ? ConnectTo(servers.front()->TcpPort()) : -1;
    // Under Wine the file goes by its drive letter and backslashes, as on Windows.
    const QString demo = via == Via::Wine ? "Z:" + QString(ZENTREL_DEMO).replace('/', '\\') : ZENTREL_DEMO;
    for (const QString& argument : c.Arguments) arguments << (argument == "DEMO" ? demo : argument);
    QProcess cli;
    if (via == Via::Wine)
        cli.start("wine", QStringList{std::getenv("ZENTREL_WINE_CLI")} + arguments);
    else
        cli.start(ZENTREL_CLI, arguments);
    cli.closeWriteChannel();
    QByteArray written;
    // Windows ends its lines with CR LF.
    const auto waitFor = [&](const char* line) {
        while (!QByteArray(written).replace("\r\n", "\n").contains(line) && cli.waitForReadyRead(30000))
            written += cli.readAllStandardOutput();
    };
    int farBaud = 0;
    if (c.FarBaud != 0) {
        // The connect's "Done" comes 500 ms before anything else is sent.
        waitFor("UPS Found\n");
        farBaud = OutputBaud(sims.front()->SlavePath());
    }
    if (c.During == Event::StopInRecord2 || c.During == Event::KillServerInRecord2) {
        // A record every 1.32 s after this line: 2 s falls in the middle of the second.
        waitFor("Updating configuration...\n");
        QThread::msleep(2000);
        if (c.During == Event::StopInRecord2) {
            // A run that ended already has no process to stop, and pid 0 would be every process here.
            ASSERT_GT(cli.processId(), 0);
            ::kill(static_cast<pid_t>(cli.processId()), via == Via::Wine ? SIGINT : SIGTERM);
        } else {
            servers.front()->Stop(SIGKILL);
        }
    }
    ASSERT_TRUE(cli.waitForFinished(100000));
    if (holder >= 0) ::close(holder);
    written += cli.readAllStandardOutput();
    written.replace("\r\n", "\n");
    std::string err = c.Err;
    if (const auto at = err.find("ADDRESS"); at != std::string::npos) err.replace(at, 7, address);
    EXPECT_EQ(cli.readAllStandardError().replace("\r\n", "\n").toStdString(), err);
    EXPECT_EQ(farBaud, c.FarBaud);

    const std::vector<Bytes> received = Framed(c.Received);
    for (int unit = 0; unit < c.Units; ++unit) {
        sims[unit]->Stop();
        // With several units, the lines of each come after its "[PORT] ".
        const std::string prefix = c.Units > 1 ? "[" + sims[unit]->SlavePath() + "] " : "";
        Lines out;
        std::istringstream text(written.toStdString());
        for (std::string line; std::getline(text, line);)
            if (line.rfind(prefix, 0) == 0) out.push_back(line.substr(prefix.size()));
        std::stringstream kept;
        kept << std::ifstream(path("eeprom", unit)).rdbuf();
        EXPECT_EQ(std::tuple(cli.exitStatus(), cli.exitCode(), out, LoggedFrames(path("log", unit), '>'), kept.str()),
                  std::tuple(QProcess::NormalExit, c.Status, c.Out, received, c.Eeprom)) << unit;
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, CliE2e, testing::ValuesIn(Runs()), [](const auto& info) { return info.param.Name(); });

}  // namespace

}  // namespace UpsLink::Testing
