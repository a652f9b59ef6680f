// zentrel-cli in real time against zentrel-sim on a pseudo-terminal: its lines and exit status,
// and what the unit received and kept.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <fstream>
#include <memory>
#include <sstream>

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

struct CliCase {
    const char* Name;
    int Units;                     // simulated units, one --port each
    std::vector<std::string> Sim;  // besides --log and --eeprom
    QStringList Arguments;         // after --port; DEMO is the demo file
    bool StopInRecord2;            // SIGTERM while the second record is written
    int Status;
    Lines Out;
    Payloads Received;             // every frame the unit took, as payloads
    std::string Eeprom;
    std::string Err;               // standard error, whole
};

const CliCase Cases[] = {
    {"Identify", 1, {}, {"identify"}, false, 0, Up + Identity + Down, FullConnect + Payloads{Opening}, "", ""},
    {"Modules", 1, {"--modules", "5,255,2"}, {"modules"}, false, 0,
     Up + Lines{"Determining Modules Supported...", "Done", "module 5", "module 2"} + Down,
     FullConnect + Payloads{ListModules, Opening}, "", ""},
    {"UpdateWithYes", 1, {}, {"update", "DEMO", "--yes"}, false, 0,
     Up + Plan + Lines{"Configuration update complete"} + Down,
     FullConnect + Payloads{Select, R1, Select, R2, Select, R3, Select, R4, Close, Opening}, Kept1 + Kept3, ""},
    {"NoYesNoTerminalSendsNothing", 1, {}, {"update", "DEMO"}, false, 2, {}, {}, "",
     "zentrel-cli: update asks before writing; without a terminal give --yes\n"},
    {"UnreadableFileRefused", 1, {}, {"update", "/nonexistent/280_x.pp", "--yes"}, false, 4,
     Up + Lines{"Error Loading File"} + Down, FullConnect + Payloads{Opening}, "", "zentrel-cli: 53 File not found\n"},
    {"RefusedRecordStops", 1, NoCe + std::vector<std::string>{"--refuse-record", "12"}, {"update", "DEMO", "--yes"}, false,
     1,
     Up + Plan + Lines{"Error updating #12", "Configuration update Error", "stopped at record 3 of 4; resume with --from 3"} +
         Down,
     FullConnect + Payloads{R1, R2, R3, Close, Opening}, Kept1, ""},
    {"ResumeFrom3", 1, NoCe, {"update", "DEMO", "--from", "3", "--yes"}, false, 0,
     Up + Lines{"2 records, about 1 min", "Updating configuration...", "Configuration update complete"} + Down,
     FullConnect + Payloads{R3, R4, Close, Opening}, Kept3, ""},
    {"TwoUnitsAtOnce", 2, NoCe, {"update", "DEMO", "--yes"}, false, 0,
     Up + Plan + Lines{"Configuration update complete"} + Down, FullConnect + Updated, Kept1 + Kept3, ""},
    {"SigtermMidUpdate", 1, NoCe, {"update", "DEMO", "--yes"}, true, 130,
     Up + Plan + Lines{"Configuration update Error", "interrupted at record 3 of 4; resume with --from 3"} + Down,
     FullConnect + Payloads{R1, R2, Close, Opening}, Kept1, ""},
    // The faults of the unit. Busy, late, a bad checksum or a stray byte before a data reply: that request again.
    {"BusyFirst2", 1, {"--busy-first", "2"}, {"identify"}, false, 0, Up + Identity + Down,
     {Opening, List, List, List, Access, Ident, Type, Session, List, Opening}, "", ""},
    {"Late1500", 1, {"--late", "1500"}, {"identify"}, false, 0, Up + Identity + Down,
     {Opening, List, List, Access, Ident, Ident, Type, Type, Session, List, List, Opening}, "", ""},
    {"BadChecksumIdentification", 1, {"--bad-checksum", "2"}, {"identify"}, false, 0, Up + Identity + Down,
     {Opening, List, Access, Ident, Ident, Type, Session, List, Opening}, "", ""},
    {"StrayByteTypeCode", 1, {"--stray-byte", "3"}, {"identify"}, false, 0, Up + Identity + Down,
     {Opening, List, Access, Ident, Type, Type, Session, List, Opening}, "", ""},
    {"BadChecksumModuleList", 1, {"--bad-checksum", "5"}, {"modules"}, false, 0, Up + Listed + Down,
     FullConnect + Payloads{ListModules, ListModules, Opening}, "", ""},
    {"StrayByteModuleList", 1, {"--stray-byte", "5"}, {"modules"}, false, 0, Up + Listed + Down,
     FullConnect + Payloads{ListModules, ListModules, Opening}, "", ""},
    // An acknowledgement's checksum is not looked at; a stray byte before it hides its code.
    {"BadChecksumAck", 1, NoCe + std::vector<std::string>{"--bad-checksum", "5"}, {"update", "DEMO", "--yes"}, false, 0,
     Up + Plan + Lines{"Configuration update complete"} + Down, FullConnect + Updated, Kept1 + Kept3, ""},
    {"StrayByteAck", 1, NoCe + std::vector<std::string>{"--stray-byte", "6"}, {"update", "DEMO", "--yes"}, false, 0,
     Up + Plan + Lines{"Configuration update complete"} + Down, FullConnect + Payloads{R1, R2, R2, R3, R4, Close, Opening},
     Kept1 + Kept3, ""},
    // Faults that end every connect: the unit is not identified and nothing is written.
    {"Silent", 1, {"--silent"}, {"identify"}, false, 1, NoUps, Unanswered, "", ""},
    {"SilentUpdate", 1, {"--silent"}, {"update", "DEMO", "--yes"}, false, 1, NoUps, Unanswered, "", ""},
    {"BusyAlwaysUpdate", 1, {"--busy-always"}, {"update", "DEMO", "--yes"}, false, 1, NoUps, Unanswered, "", ""},
    {"StalledIdentification", 1, {"--stall-after", "14", "--stall", "20000"}, {"identify"}, false, 1, NoUps,
     Unidentified + Payloads(5, Ident), "", ""},
    {"CutIdentificationUpdate", 1, {"--cut", "1"}, {"update", "DEMO", "--yes"}, false, 1,
     Lines{"Connecting...", "9 Subscript out of range 9", "NO UPS Found", "Done"}, Unidentified, "", ""},
    // A line of the record that cannot be written: the command goes on; the reason is told once, and a
    // success becomes 5 while a failure keeps its own status.
    {"LogOnFullDisk", 1, {}, {"--log", "/dev/full", "identify"}, false, 5, Up + Identity + Down,
     FullConnect + Payloads{Opening}, "", "zentrel-cli: cannot write log file /dev/full: No space left on device\n"},
    {"TraceOnFullDisk", 1, {}, {"--trace", "/dev/full", "identify"}, false, 5, Up + Identity + Down,
     FullConnect + Payloads{Opening}, "", "zentrel-cli: cannot write trace file /dev/full: No space left on device\n"},
    {"UnreadableFileLogOnFullDisk", 1, {}, {"--log", "/dev/full", "update", "/nonexistent/280_x.pp", "--yes"}, false, 4,
     Up + Lines{"Error Loading File"} + Down, FullConnect + Payloads{Opening}, "",
     "zentrel-cli: 53 File not found\nzentrel-cli: cannot write log file /dev/full: No space left on device\n"},
};

void PrintTo(const CliCase& c, std::ostream* os) { *os << c.Name; }

class CliE2e : public testing::TestWithParam<CliCase> {};

TEST_P(CliE2e, LinesStatusFramesAndEeprom)
{
    const CliCase& c = GetParam();
    QTemporaryDir dir;
    const auto path = [&](const char* name, int unit) { return dir.filePath(name + QString::number(unit)).toStdString(); };
    std::vector<std::unique_ptr<SimProcess>> sims;
    QStringList arguments;
    for (int unit = 0; unit < c.Units; ++unit) {
        std::vector<std::string> options = c.Sim;
        options.insert(options.end(), {"--log", path("log", unit), "--eeprom", path("eeprom", unit)});
        sims.push_back(std::make_unique<SimProcess>(options));
        arguments << "--port" << QString::fromStdString(sims.back()->SlavePath());
    }
    for (const QString& argument : c.Arguments) arguments << (argument == "DEMO" ? ZENTREL_DEMO : argument);
    QProcess cli;
    cli.start(ZENTREL_CLI, arguments);
    cli.closeWriteChannel();
    QByteArray written;
    if (c.StopInRecord2) {
        // A record every 1.32 s after this line: 2 s falls in the middle of the second.
        while (!written.contains("Updating configuration...\n") && cli.waitForReadyRead(30000))
            written += cli.readAllStandardOutput();
        QThread::msleep(2000);
        cli.terminate();
    }
    ASSERT_TRUE(cli.waitForFinished(100000));
    written += cli.readAllStandardOutput();
    EXPECT_EQ(cli.readAllStandardError().toStdString(), c.Err);

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

INSTANTIATE_TEST_SUITE_P(Cli, CliE2e, testing::ValuesIn(Cases), [](const auto& info) { return info.param.Name; });

}  // namespace

}  // namespace UpsLink::Testing
