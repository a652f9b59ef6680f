#include "Commands.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/qt/StopRequest.h"
#include "TerminalShell.h"
#include "common/Fault.h"
#include "common/Text.h"
#include "core/InitGlobals.h"
#include "link/Globals.h"
#include "link/PortControl.h"
#include "platform/LineFile.h"
#include "platform/Seams.h"
#include "platform/qt/FileNames.h"
#include "platform/qt/SerialPort.h"
#include "platform/qt/SystemClock.h"
#include "platform/qt/SystemPorts.h"
#include "update/Pacing.h"
#include "update/UpdateEeprom.h"
#include "ups/Connect.h"
#include "ups/Globals.h"
#include "ups/ModuleSelect.h"

namespace UpsLink {

namespace {

const QRegularExpression ComName("^COM([1-9][0-9]{0,3})$", QRegularExpression::CaseInsensitiveOption);

// The port number of P: COMn names port n as the window numbers them; anything else is named
// in the port map as COM1.
std::string PortNumberFor(const std::string& port)
{
    const auto match = ComName.match(QString::fromStdString(port));
    if (match.hasMatch()) return match.captured(1).toStdString();
    NamePort(1, QString::fromStdString(port));
    return "1";
}

std::string Minutes(std::chrono::milliseconds time)
{
    return std::to_string(static_cast<long long>(std::ceil(static_cast<double>(time.count()) / 60000.0)));
}

struct Outcome {
    int Status = Exit::Ok;
    QJsonObject Fields;  // more members of the JSON result
};

Outcome Identify(TerminalShell& shell)
{
    const ConnectOutcome connected = ConnectUps();
    if (UpsType <= 1) return {Exit::Unit, {}};
    const std::string commands =
        HexBytes({reinterpret_cast<const uint8_t*>(SupportedCommands.data()), SupportedCommands.size()});
    std::string versions;
    QJsonArray jsonVersions;
    for (std::size_t i = 1; i < CpuVersion.size(); ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", static_cast<double>(CpuVersion[i]));
        versions += (i > 1 ? " " : "") + std::string(text);
        jsonVersions.append(QJsonValue::fromVariant(QByteArray(text).toDouble()));
    }
    const bool selectable = shell.ModuleEnabled();
    shell.Say("type code " + std::to_string(UpsType));
    shell.Say(selectable ? "module selection supported" : "module selection not supported");
    shell.Say("supported commands " + commands);
    shell.Say("processor versions " + versions);
    return {connected ? Exit::Ok : Exit::Unit,
            {{"module_select", selectable}, {"commands", QString::fromStdString(commands)}, {"versions", jsonVersions}}};
}

Outcome Modules(TerminalShell& shell)
{
    if (!ConnectUps()) return {Exit::Unit, {}};
    const auto listed = DetermineModules([] {});
    // Nothing listed after an unanswered discovery; a list too long to show is still an answer.
    if (!listed || ModuleList.empty()) return {Exit::Unit, {}};
    QJsonArray numbers;
    for (int16_t module : *listed) {
        shell.Say("module " + std::to_string(module));
        numbers.append(module);
    }
    return {Exit::Ok, {{"modules", numbers}}};
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

// The exit status of an update's outcome, with the line that says where to resume.
int UpdateStatus(const UpdateOutcome& update, TerminalShell& shell)
{
    switch (update.End) {
    case UpdateEnd::Complete: return Exit::Ok;
    case UpdateEnd::FileRefused: return Exit::FileRefused;
    case UpdateEnd::NotConnected:
    case UpdateEnd::Fault: return Exit::Unit;
    case UpdateEnd::FromPastEnd:
        std::fprintf(stderr, "zentrel-cli: --from %zu is past the file's %zu records\n", update.Next + 1, update.Total);
        return Exit::Usage;
    case UpdateEnd::Declined:
    case UpdateEnd::RecordFailed:
    case UpdateEnd::Stopped: break;
    }
    if (StopRequested()) {
        shell.Say(ResumeLine("interrupted", update.Next, update.Total));
        return Exit::Interrupted;
    }
    if (update.End == UpdateEnd::RecordFailed) shell.Say(ResumeLine("stopped", update.Next, update.Total));
    return Exit::Unit;
}

Outcome Update(const CliOptions& options, TerminalShell& shell)
{
    if (!ConnectUps()) return {Exit::Unit, {}};
    shell.Answer = [&](const MessageRequest& request) { return Confirmed(options, request, MsgAnswer::Yes, MsgAnswer::No); };
    if (options.Module) {
        const auto listed = DetermineModules([] {});
        const std::string number = std::to_string(*options.Module);
        if (!listed || std::find(listed->begin(), listed->end(), *options.Module) == listed->end()) {
            shell.Say("module " + number + " is not listed");
            return {Exit::Unit, {}};
        }
        if (ApplyModuleSelect(number) != SwitchEnd::Accepted) return {Exit::Unit, {}};
    }

    UpdateRun run;
    run.From = options.From - 1;
    run.Stop = StopRequested;
    shell.Answer = [&](const MessageRequest& request) {
        const std::size_t writes = run.Total - run.From;
        const auto time = PacedUpdateTime(writes, shell.ModuleEnabled());
        shell.Say(std::to_string(writes) + " records, about " + Minutes(time) + " min");
        return Confirmed(options, request, MsgAnswer::Ok, MsgAnswer::Cancel);
    };
    shell.File = options.File;
    shell.Run = &run;
    const UpdateOutcome update = UpdateEeprom(run);
    Outcome outcome{UpdateStatus(update, shell), {}};
    if (update.End != UpdateEnd::FileRefused && update.End != UpdateEnd::FromPastEnd && update.Total > 0)
        outcome.Fields = {{"records", static_cast<qint64>(update.Total)},
                          {"written", static_cast<qint64>(update.Written)},
                          {"next", static_cast<qint64>(update.Next + 1)}};
    return outcome;
}

}  // namespace

int ListPorts(const CliOptions& options)
{
    if (!options.Json) std::printf("device\tdescription\tmanufacturer\tserial\tusb id\tcom\n");
    TerminalShell out(options.Json, false, nullptr);
    for (const SystemPort& system : SystemPorts()) {
        const QString fields[] = {system.Device, system.Description, system.Manufacturer,
                                  system.Serial, system.UsbId,       system.Com};
        if (options.Json) {
            static const char* names[] = {"device", "description", "manufacturer", "serial", "usb_id", "com"};
            QJsonObject port{{"event", "port"}};
            for (int i = 0; i < 6; ++i) port.insert(names[i], fields[i]);
            out.Event(port);
        } else {
            QStringList line;
            for (const QString& field : fields) line << (field.isEmpty() ? QStringLiteral("-") : field);
            std::printf("%s\n", line.join('\t').toStdString().c_str());
        }
    }
    // The port map: what each named COM number stands for, a device or a network address.
    const std::map<int, QString> named = NamedPorts();
    if (!options.Json && !named.empty()) std::printf("\ncom\tnamed\n");
    for (const auto& [number, what] : named) {
        const QString com = QStringLiteral("COM%1").arg(number);
        if (options.Json)
            out.Event({{"event", "com"}, {"com", com}, {"named", what}});
        else
            std::printf("%s\t%s\n", com.toStdString().c_str(), what.toStdString().c_str());
    }
    out.Event({{"event", "result"}, {"ok", true}, {"exit", Exit::Ok}});
    return Exit::Ok;
}

int RunCommand(const CliOptions& options, TerminalShell& shell)
{
    Outcome outcome;
    try {
        InitPort(options.Baud, "N", 8, 1, PortNumberFor(options.Ports.front()));
        const Port& port = MSComm1();
        if (!port.PortOpen()) {
            const OpenFailure failure = port.LastOpenFailure().value_or(OpenFailure{});
            std::fprintf(stderr, "zentrel-cli: cannot open %s: %s\n", failure.Device.c_str(), failure.Reason.c_str());
            outcome = {Exit::PortFailed,
                       {{"device", QString::fromStdString(failure.Device)}, {"reason", QString::fromStdString(failure.Reason)}}};
        } else if (options.Command == "identify") {
            outcome = Identify(shell);
        } else if (options.Command == "modules") {
            outcome = Modules(shell);
        } else {
            outcome = Update(options, shell);
        }
        // The type code of the unit last connected to, before the disconnect forgets it.
        if (UpsType != 0) outcome.Fields.insert("type", UpsType);
        if (Connected) DisconnectUps();
    } catch (const Fault& fault) {
        // What a procedure that traps nothing let escape, as the window reports it.
        shell.AddToBoard(FaultText(fault));
        outcome.Status = Exit::Unit;
    }
    if (StopRequested() && outcome.Status == Exit::Unit) outcome.Status = Exit::Interrupted;
    // The unit's own failure says more than a lost line of its record.
    if (shell.TellWriteFailures() && outcome.Status == Exit::Ok) outcome.Status = Exit::WriteFailed;
    QJsonObject result{{"event", "result"}, {"ok", outcome.Status == Exit::Ok}, {"exit", outcome.Status},
                       {"port", QString::fromStdString(options.Ports.front())}};
    if (options.Command == "update") result.insert("file", FromFileName(options.File));
    for (auto field = outcome.Fields.begin(); field != outcome.Fields.end(); ++field) result.insert(field.key(), *field);
    shell.Event(result);
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
