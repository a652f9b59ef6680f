#include "Commands.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/qt/StopRequest.h"
#include "TerminalShell.h"
#include "common/Fault.h"
#include "common/Text.h"
#include "config/Globals.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/PortControl.h"
#include "platform/LineFile.h"
#include "platform/Seams.h"
#include "platform/qt/SerialPort.h"
#include "platform/qt/SystemClock.h"
#include "update/Pacing.h"
#include "update/UpdateEeprom.h"
#include "ups/Connect.h"
#include "ups/Globals.h"
#include "ups/ModuleSelect.h"

namespace UpsLink {

namespace {

const QRegularExpression ComName("^COM([1-9][0-9]{0,3})$", QRegularExpression::CaseInsensitiveOption);

// The port number of P: COMn names port n as the window numbers them; a device is reached as
// COM1, named through ZENTREL_COM1 for this process.
std::string PortNumberFor(const std::string& port)
{
    const auto match = ComName.match(QString::fromLocal8Bit(port.c_str()));
    if (match.hasMatch()) return match.captured(1).toStdString();
    ::setenv("ZENTREL_COM1", port.c_str(), 1);
    return "1";
}

std::string Local(const QString& text) { return text.toLocal8Bit().toStdString(); }

// Why the device could not be opened, in the words an engineer acts on.
std::string PortFailure(const std::string& device, const std::string& boardLine)
{
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) return "no such device";
    if (::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        const group* owner = ::getgrgid(info.st_gid);
        const std::string name = owner ? owner->gr_name : std::to_string(info.st_gid);
        return "permission denied; the user must be in the group owning the device, " + name +
               " (usually dialout)";
    }
    return boardLine;
}

std::string Minutes(std::chrono::milliseconds time)
{
    return std::to_string(static_cast<long long>(std::ceil(static_cast<double>(time.count()) / 60000.0)));
}

struct Outcome {
    int Status = Exit::Ok;
    std::string Fields;  // more members of the JSON result, each with its leading comma
};

Outcome Identify(TerminalShell& shell)
{
    const bool accepted = ConnectUps();
    if (UpsType <= 1) return {Exit::Unit, ""};
    const std::string commands =
        HexBytes({reinterpret_cast<const uint8_t*>(SupportedCommands.data()), SupportedCommands.size()});
    std::string versions, jsonVersions;
    for (std::size_t i = 1; i < CpuVersion.size(); ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", static_cast<double>(CpuVersion[i]));
        versions += (i > 1 ? " " : "") + std::string(text);
        jsonVersions += (i > 1 ? "," : "") + std::string(text);
    }
    const bool selectable = shell.ModuleEnabled();
    shell.Say("type code " + std::to_string(UpsType));
    shell.Say(selectable ? "module selection supported" : "module selection not supported");
    shell.Say("supported commands " + commands);
    shell.Say("processor versions " + versions);
    return {accepted ? Exit::Ok : Exit::Unit, R"(,"module_select":)" + std::string(selectable ? "true" : "false") +
                                                  R"(,"commands":)" + JsonText(commands) + R"(,"versions":[)" +
                                                  jsonVersions + "]"};
}

Outcome Modules(TerminalShell& shell)
{
    if (!ConnectUps()) return {Exit::Unit, ""};
    const auto listed = DetermineModules([] {});
    // Nothing listed after an unanswered discovery; a list too long to show is still an answer.
    if (!listed || ModuleList.empty()) return {Exit::Unit, ""};
    std::string numbers;
    for (int16_t module : *listed) {
        shell.Say("module " + std::to_string(module));
        numbers += (numbers.empty() ? "" : ",") + std::to_string(module);
    }
    return {Exit::Ok, R"(,"modules":[)" + numbers + "]"};
}

// Asks on the terminal, or takes --yes.
MsgAnswer Confirmed(const CliOptions& options, const MessageRequest& request, MsgAnswer yes, MsgAnswer no)
{
    if (StopRequested()) return no;
    if (options.Yes) return yes;
    std::string question = request.Text;
    for (std::size_t at; (at = question.find("\r\n")) != std::string::npos;) question.replace(at, 2, "\n");
    while (!question.empty() && question.back() == ' ') question.pop_back();
    return AskYes(question) ? yes : no;
}

std::string ResumeLine(const char* what, std::size_t next, std::size_t records)
{
    const std::string k = std::to_string(next + 1);
    return std::string(what) + " at record " + k + " of " + std::to_string(records) + "; resume with --from " + k;
}

Outcome Update(const CliOptions& options, TerminalShell& shell)
{
    if (!ConnectUps()) return {Exit::Unit, ""};
    shell.Answer = [&](const MessageRequest& request) { return Confirmed(options, request, MsgAnswer::Yes, MsgAnswer::No); };
    if (options.Module) {
        const auto listed = DetermineModules([] {});
        const std::string number = std::to_string(*options.Module);
        if (!listed || std::find(listed->begin(), listed->end(), *options.Module) == listed->end()) {
            shell.Say("module " + number + " is not listed");
            return {Exit::Unit, ""};
        }
        if (!ApplyModuleSelect(number)) return {StopRequested() ? Exit::Interrupted : Exit::Unit, ""};
    }

    UpdateRun run;
    run.From = options.From - 1;
    run.Stop = StopRequested;
    bool asked = false, tooFar = false, declined = false;
    shell.Answer = [&](const MessageRequest& request) {
        asked = true;
        const std::size_t records = RecordNumbers.size();
        if (options.From > records) {
            tooFar = true;
            std::fprintf(stderr, "zentrel-cli: --from %zu is past the file's %zu records\n", options.From, records);
            return MsgAnswer::Cancel;
        }
        shell.Records = records;
        const std::size_t writes = records - run.From;
        const auto time = PacedUpdateTime(writes, shell.ModuleEnabled());
        shell.Say(std::to_string(writes) + " records, about " + Minutes(time) + " min");
        const MsgAnswer answer = Confirmed(options, request, MsgAnswer::Ok, MsgAnswer::Cancel);
        declined = answer != MsgAnswer::Ok;
        return answer;
    };
    shell.File = options.File;
    shell.Run = &run;
    UpdateEeprom(run);

    const std::size_t records = RecordNumbers.size();
    const std::string fields = R"(,"records":)" + std::to_string(records) + R"(,"written":)" +
                               std::to_string(run.Next - run.From) + R"(,"next":)" + std::to_string(run.Next + 1);
    if (!asked) return {Exit::FileRefused, ""};
    if (tooFar) return {Exit::Usage, ""};
    if (run.Next >= records && !declined) return {Exit::Ok, fields};
    if (StopRequested()) {
        shell.Say(ResumeLine("interrupted", run.Next, records));
        return {Exit::Interrupted, fields};
    }
    if (declined) return {Exit::Unit, fields};
    shell.Say(ResumeLine("stopped", run.Next, records));
    return {Exit::Unit, fields};
}

}  // namespace

int ListPorts(const CliOptions& options)
{
    // Every port number that names a device: those of ZENTREL_COMn, and those of /dev/ttyS(n-1).
    QList<int> numbers;
    for (const QString& name : QProcessEnvironment::systemEnvironment().keys())
        if (name.startsWith("ZENTREL_COM")) numbers << name.mid(11).toInt();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString device = info.systemLocation();
        if (device.startsWith("/dev/ttyS")) numbers << device.mid(9).toInt() + 1;
    }
    std::sort(numbers.begin(), numbers.end());
    if (!options.Json) std::printf("device\tdescription\tmanufacturer\tserial\tusb id\tcom\n");

    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString device = info.systemLocation();
        QString com;
        for (int n : numbers)
            if (n > 0 && com.isEmpty() &&
                QFileInfo(DeviceForPort(n)).canonicalFilePath() == QFileInfo(device).canonicalFilePath())
                com = QStringLiteral("COM%1").arg(n);
        const QString ids = info.hasVendorIdentifier() && info.hasProductIdentifier()
                                ? QStringLiteral("%1:%2").arg(info.vendorIdentifier(), 4, 16, QChar('0'))
                                      .arg(info.productIdentifier(), 4, 16, QChar('0'))
                                : QString();
        const QString fields[] = {device, info.description(), info.manufacturer(), info.serialNumber(), ids, com};
        if (options.Json) {
            static const char* names[] = {"device", "description", "manufacturer", "serial", "usb_id", "com"};
            std::string line = R"({"event":"port")";
            for (int i = 0; i < 6; ++i) line += std::string(",\"") + names[i] + "\":" + JsonText(Local(fields[i]));
            std::printf("%s}\n", line.c_str());
        } else {
            std::string line;
            for (const QString& field : fields) line += (line.empty() ? "" : "\t") + (field.isEmpty() ? "-" : Local(field));
            std::printf("%s\n", line.c_str());
        }
    }
    if (options.Json) std::printf("{\"event\":\"result\",\"ok\":true,\"exit\":0}\n");
    return Exit::Ok;
}

int RunCommand(const CliOptions& options, TerminalShell& shell)
{
    Outcome outcome;
    try {
        const std::string number = PortNumberFor(options.Ports.front());
        InitPort(options.Baud, "N", 8, 1, number);
        if (shell.PortLabelStruck()) {
            const std::string device = Local(DeviceForPort(std::stoi(number)));
            std::fprintf(stderr, "zentrel-cli: cannot open %s: %s\n", device.c_str(),
                         PortFailure(device, shell.LastLine()).c_str());
            outcome.Status = Exit::PortFailed;
        } else if (options.Command == "identify") {
            outcome = Identify(shell);
        } else if (options.Command == "modules") {
            outcome = Modules(shell);
        } else {
            outcome = Update(options, shell);
        }
        // The type code of the unit last connected to, before the disconnect forgets it.
        if (UpsType != 0) outcome.Fields = R"(,"type":)" + std::to_string(UpsType) + outcome.Fields;
        if (Connected) DisconnectUps();
    } catch (const Fault& fault) {
        // What a procedure that traps nothing let escape, as the window reports it.
        shell.AddToBoard(FaultText(fault));
        outcome.Status = Exit::Unit;
    }
    if (StopRequested() && outcome.Status == Exit::Unit) outcome.Status = Exit::Interrupted;
    // The unit's own failure says more than a lost line of its record.
    if (shell.TellWriteFailures() && outcome.Status == Exit::Ok) outcome.Status = Exit::WriteFailed;
    shell.Event(R"({"event":"result","ok":)" + std::string(outcome.Status == Exit::Ok ? "true" : "false") +
                R"(,"exit":)" + std::to_string(outcome.Status) + outcome.Fields + "}");
    return outcome.Status;
}

int RunOnPort(const CliOptions& options, TerminalShell& shell)
{
    std::string refusal;
    std::unique_ptr<LineFile> wireTrace;
    if (!options.TracePath.empty() && !(wireTrace = LineFile::OpenNamed(options.TracePath, "trace", refusal))) {
        std::fprintf(stderr, "zentrel-cli: %s\n", refusal.c_str());
        return Exit::Usage;
    }
    SerialPort port;
    SystemClock clock;
    if (wireTrace) TraceWire(port, *wireTrace);
    shell.WireTrace = wireTrace.get();
    InitGlobals();
    InstallClock(&clock);
    InstallPort(&port);
    InstallShell(&shell);
    const int status = RunCommand(options, shell);
    InstallShell(nullptr);
    InstallPort(nullptr);
    InstallClock(nullptr);
    shell.WireTrace = nullptr;
    return status;
}

}  // namespace UpsLink
