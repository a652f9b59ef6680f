// zentrel-cli's commands on the virtual clock against the simulated unit, beside the window doing
// the same by hand: the same frames at the same moments from the same unit and file, and the exit
// status of each outcome.
#include <QJsonDocument>
#include <QJsonObject>
#include <sstream>

#include "Commands.h"
#include "ManyPorts.h"
#include "platform/qt/PortMap.h"
#include "TerminalShell.h"
#include "app/ScriptedWindow.h"
#include "ups/Globals.h"

namespace UpsLink::Testing {

// Every frame written, with its moment counted from the first write.
std::vector<std::pair<double, Bytes>> Wire(const SimPort& port)
{
    std::vector<std::pair<double, Bytes>> wire;
    for (std::size_t i = 0; i < port.Frames().size(); ++i)
        wire.emplace_back(port.WriteTimes()[i] - port.WriteTimes()[0], port.Frames()[i]);
    return wire;
}

struct CliBench {
    VirtualClock clock{12 * 3600.0};
    UpsModel unit;
    SimPort port{clock, unit};
    TerminalShell shell{false, false, nullptr};
    InstalledSeams seams{port, clock, shell};
};

TEST(CliCommands, SameWireAsTheWindowAndTheExitStatus)
{
    using Hands = std::function<void(ScriptedWindow&)>;
    const Hands connect = [](ScriptedWindow& w) { w.cmdConnect->click(); };
    const Hands update = [](ScriptedWindow& w) { w.Answers.Queue = {ZENTREL_DEMO, MsgAnswer::Ok}, w.cmdBattComm->click(); };
    const Hands module2 = [](ScriptedWindow& w) { SwitchToModule(w, "2"); };
    const Hands listOnly = [](ScriptedWindow& w) {
        OnModal modal([](QWidget& shown) { dynamic_cast<frmSMSelect&>(shown).cmdExit->click(); });
        w.cmdSM->click();
    };
    const struct { const char* name; std::function<void(UpsModelConfig&)> unit; std::vector<std::string> arguments;
                   std::vector<Hands> window; int status; std::size_t frames; std::string says; } cases[] = {
        {"identify", {}, {"identify"}, {connect}, Exit::Ok, 8, ""},
        {"modules", {}, {"modules"}, {connect, listOnly}, Exit::Ok, 9, ""},
        {"update", {}, {"update", ZENTREL_DEMO, "--yes"}, {connect, update}, Exit::Ok, 17, ""},
        {"update --module 2, file of another type", {}, {"update", ZENTREL_DEMO, "--module", "2", "--yes"},
         {connect, module2, update}, Exit::FileRefused, 17, ""},
        {"update --from past the file's records", {}, {"update", ZENTREL_DEMO, "--from", "5", "--yes"}, {connect},
         Exit::Usage, 8, "zentrel-cli: --from 5 is past the file's 4 records\n"},
        {"update, record refused", [](auto& u) { u.RefuseRecord = 2; }, {"update", ZENTREL_DEMO, "--yes"},
         {connect, update}, Exit::Unit, 13, ""},
        {"identify, silent unit", [](auto& u) { u.Silent = true; }, {"identify"}, {connect}, Exit::Unit, 14, ""},
        {"identify, type refused", [](auto& u) { u.TypeCode = 300; }, {"identify"}, {connect}, Exit::Unit, 6, ""},
        {"identify, no device", {}, {"identify"}, {connect}, Exit::PortFailed, 0,
         "zentrel-cli: cannot open COM1: no such device\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::pair<double, Bytes>> window;
        {
            SimBench<UpsModel, ScriptedWindow> b;
            if (c.unit) c.unit(b.unit.Config());
            b.port.SetDevices(c.status == Exit::PortFailed ? std::set<int>{} : std::set<int>{1});
            InitPort("19200", "N", 8, 1, "1");
            for (const Hands& hands : c.window) hands(b.shell);
            if (Connected) b.shell.mnuDisconnect->trigger();
            window = Wire(b.port);
        }
        CliBench b;
        if (c.unit) c.unit(b.unit.Config());
        b.port.SetDevices(c.status == Exit::PortFailed ? std::set<int>{} : std::set<int>{1});
        std::vector<std::string> arguments{"zentrel-cli"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        CliOptions options;
        ASSERT_TRUE(ParseCliOptions(arguments, options).Run) << c.name;
        testing::internal::CaptureStdout(), testing::internal::CaptureStderr();
        const int status = RunCommand(options, b.shell);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(std::tuple(status, testing::internal::GetCapturedStderr(), Wire(b.port).size()),
                  std::tuple(c.status, c.says, c.frames)) << c.name;
        EXPECT_EQ(Wire(b.port), window) << c.name;
    }
}

// The JSON lines are UTF-8 as they stand: a port and a file named with letters beyond ASCII come
// out intact, and every line is one JSON object.
TEST(CliCommands, JsonLinesKeepNamesAsUtf8)
{
    const std::string port = "/dev/tty\xC3\x9CPS", file = "/nonexistent/280_B\xC3\xBCro.pp";
    VirtualClock clock{12 * 3600.0};
    UpsModel unit;
    SimPort simPort{clock, unit};
    TerminalShell shell{true, false, nullptr};
    InstalledSeams seams{simPort, clock, shell};
    CliOptions options;
    ASSERT_TRUE(ParseCliOptions({"zentrel-cli", "--json", "--port", port, "update", file, "--yes"}, options).Run);
    testing::internal::CaptureStdout(), testing::internal::CaptureStderr();
    EXPECT_EQ(RunCommand(options, shell), Exit::FileRefused);
    const std::string out = testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    std::istringstream lines(out);
    QJsonObject last;
    for (std::string line; std::getline(lines, line);) {
        QJsonParseError error{};
        last = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error).object();
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
    }
    EXPECT_EQ(std::tuple(last.value("event").toString(), last.value("port").toString(), last.value("file").toString()),
              std::tuple(QString("result"), QString::fromStdString(port), QString::fromStdString(file)));
    EXPECT_NE(out.find("\"file\":\"" + file + "\""), std::string::npos) << out;
}

// zentrel-cli ports shows the port map beside the machine's ports: each COM number named, with the
// device or network address behind it, as it was named.
TEST(CliCommands, PortsShowsTheMapOfNamedPorts)
{
    NamePort(2, "tcp://127.0.0.1:7000");
    NamePort(3, QString::fromUtf8("/dev/tty\xC3\x9CSB0"));
    CliOptions options;
    ASSERT_TRUE(ParseCliOptions({"zentrel-cli", "--json", "ports"}, options).Run);
    testing::internal::CaptureStdout();
    EXPECT_EQ(ListPorts(options), Exit::Ok);
    std::istringstream lines(testing::internal::GetCapturedStdout());
    std::map<QString, QString> shown;
    for (std::string line; std::getline(lines, line);) {
        const QJsonObject event = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        if (event.value("event") == "com") shown[event.value("com").toString()] = event.value("named").toString();
    }
    EXPECT_EQ(std::pair(shown["COM2"], shown["COM3"]),
              std::pair(QString("tcp://127.0.0.1:7000"), QString::fromUtf8("/dev/tty\xC3\x9CSB0")));
}

// Several ports: the highest status, but a lost line of a record gives way to a unit's failure.
TEST(CliCommands, SeveralPortsEndWithTheStatusThatSaysMost)
{
    const std::pair<std::vector<int>, int> cases[] = {
        {{0, 0}, 0}, {{0, 5}, 5}, {{5, 1}, 1}, {{3, 5, 0}, 3}, {{5, 130}, 130}, {{4, 1}, 4}, {{5, 5}, 5},
    };
    for (const auto& [statuses, combined] : cases) EXPECT_EQ(CombinedStatus(statuses), combined);
}

}  // namespace UpsLink::Testing
