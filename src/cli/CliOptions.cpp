#include "CliOptions.h"

#include <QCommandLineParser>
#include <QStringList>

#include "common/AppTitle.h"
#include "common/Fault.h"
#include "platform/Port.h"
#include "platform/qt/FileNames.h"
#include "platform/qt/PortMap.h"

namespace UpsLink {

namespace {

constexpr const char* Synopsis =
    "Identifies a UPS, lists its modules and updates its EEPROM or a module's from a configuration file,\n"
    "over a serial port, from a terminal or a script.\n\n"
    "  zentrel-cli ports\n"
    "  zentrel-cli [--port P]... [--baud N] [--log FILE] [--trace FILE] [--json] [--quiet] identify\n"
    "  zentrel-cli [--port P] ... modules\n"
    "  zentrel-cli [--port P]... ... update FILE [--module N] [--from K] [--yes]\n"
    "  zentrel-cli --help | --version\n\n"
    "Exit status: 0 success; 1 the unit did not answer or refused; 2 bad use; 3 the port could not be\n"
    "opened; 4 the file was refused; 5 a line of --log or --trace could not be written, the command\n"
    "having succeeded; 130 interrupted.";

struct BadUse {
    QString Message;
};

long long WholeNumber(const QString& option, const QString& text, long long low, long long high)
{
    bool ok = false;
    const long long value = text.toLongLong(&ok);
    if (!ok || value < low || value > high)
        throw BadUse{QStringLiteral("--%1 wants a number from %2 to %3, not '%4'").arg(option).arg(low).arg(high).arg(text)};
    return value;
}

// Arguments and what is said about them, file names among them, in the file names' encoding.
std::string Local(const QString& text) { return ToFileName(text); }

}  // namespace

CliParse ParseCliOptions(const std::vector<std::string>& arguments, CliOptions& options)
{
    QStringList list;
    for (const std::string& argument : arguments) list << FromFileName(argument);

    QCommandLineParser parser;
    parser.setApplicationDescription(Synopsis);
    // Not addHelpOption: its --help-all would be taken for a missing command.
    const QCommandLineOption help({"h", "help"}, "Displays help on commandline options.");
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port("port",
                                  QStringLiteral("A device such as /dev/ttyUSB0 or a console server's port "
                                                 "rfc2217://HOST:PORT or tcp://HOST:PORT, or COMn: the device named "
                                                 "by ZENTREL_COMn, else ") +
                                      UnnamedDevice +
                                      QStringLiteral(" (default COM1). Given several times, the ports are worked at "
                                                     "once."),
                                  "P");
    const QCommandLineOption baud("baud", "Line speed, one of the classic rates (default 19200); always N, 8, 1.", "N");
    const QCommandLineOption log("log", "Append every status line to FILE with its date and time.", "FILE");
    const QCommandLineOption trace("trace", "Append every write to the port and every read from it to FILE.", "FILE");
    const QCommandLineOption json("json", "One JSON object a line on standard output instead of the status lines.");
    const QCommandLineOption quiet("quiet", "No progress bar.");
    const QCommandLineOption module("module", "update: select module N first, as the module dialog's Apply does.", "N");
    const QCommandLineOption from("from", "update: start at the K-th record of the file (1-based).", "K");
    const QCommandLineOption yes("yes", "update: write without asking, and answer the module warning.");
    parser.addOptions({port, baud, log, trace, json, quiet, module, from, yes});
    parser.addPositionalArgument("command", "ports, identify, modules, or update FILE.", "command");

    CliParse outcome;
    try {
        if (!parser.parse(list)) throw BadUse{parser.errorText()};
        if (parser.isSet(help)) return {false, Exit::Ok, Local(parser.helpText())};
        if (parser.isSet(version))
            return {false, Exit::Ok, std::string("zentrel-cli " ZENTREL_VERSION "\n") + LicenceNotice};

        const QStringList positional = parser.positionalArguments();
        if (positional.isEmpty()) throw BadUse{"no command given"};
        options.Command = Local(positional[0]);
        const qsizetype wanted = options.Command == "update" ? 2 : 1;
        if (options.Command != "ports" && options.Command != "identify" && options.Command != "modules" &&
            options.Command != "update")
            throw BadUse{QStringLiteral("unknown command '%1'").arg(positional[0])};
        if (positional.size() < wanted) throw BadUse{"update wants a FILE"};
        if (positional.size() > wanted) throw BadUse{QStringLiteral("unexpected argument '%1'").arg(positional[wanted])};
        if (wanted == 2) options.File = Local(positional[1]);
        if (options.Command != "update")
            for (const QCommandLineOption* only : {&module, &from, &yes})
                if (parser.isSet(*only)) throw BadUse{QStringLiteral("--%1 goes with update only").arg(only->names()[0])};

        if (parser.isSet(port)) {
            options.Ports.clear();
            for (const QString& p : parser.values(port)) options.Ports.push_back(Local(p));
        }
        if (parser.isSet(baud)) options.Baud = Local(parser.value(baud));
        try {
            ParseSettings(options.Baud + ",N,8,1");
        } catch (const Fault&) {
            throw BadUse{QStringLiteral("--baud wants one of the classic rates, not '%1'").arg(parser.value(baud))};
        }
        options.LogPath = Local(parser.value(log));
        options.TracePath = Local(parser.value(trace));
        options.Json = parser.isSet(json);
        options.Quiet = parser.isSet(quiet);
        options.Yes = parser.isSet(yes);
        if (parser.isSet(module)) options.Module = static_cast<int>(WholeNumber("module", parser.value(module), 0, 254));
        if (parser.isSet(from)) options.From = static_cast<std::size_t>(WholeNumber("from", parser.value(from), 1, 32765));
        outcome.Run = true;
    } catch (const BadUse& bad) {
        return {false, Exit::Usage, "zentrel-cli: " + Local(bad.Message) + " (see zentrel-cli --help)\n"};
    }
    return outcome;
}

}  // namespace UpsLink
