// zentrel-cli: the update procedures from a terminal or a script.

#include <QCoreApplication>
#include <cstdio>
#include <memory>

#include "CliOptions.h"
#include "Commands.h"
#include "ManyPorts.h"
#include "Terminal.h"
#include "TerminalShell.h"
#include "platform/LineFile.h"
#include "platform/qt/FileNames.h"
#include "platform/qt/PortMap.h"
#include "platform/qt/StopRequest.h"

int main(int argc, char* argv[])
{
    using namespace UpsLink;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("zentrel-cli");
    QCoreApplication::setApplicationVersion(ZENTREL_VERSION);
    PrepareConsole();

    // Qt's arguments, not argv: on Windows argv holds only the characters of the code page.
    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments()) arguments.push_back(ToFileName(argument));
    CliOptions options;
    const CliParse parse = ParseCliOptions(arguments, options);
    if (!parse.Run) {
        std::fputs(parse.Text.c_str(), parse.Status == Exit::Ok ? stdout : stderr);
        return parse.Status;
    }
    NamePortsFromEnvironment();
    if (options.Command == "ports") return ListPorts(options);
    // No confirmation is ever assumed.
    if (options.Command == "update" && !options.Yes && !InputIsTerminal()) {
        std::fprintf(stderr, "zentrel-cli: update asks before writing; without a terminal give --yes\n");
        return Exit::Usage;
    }
    CatchStopRequests();
    if (options.Ports.size() > 1) {
        if (options.Command == "update" && !options.Yes) {
            std::fprintf(stderr, "zentrel-cli: updating several units at once needs --yes\n");
            return Exit::Usage;
        }
        return RunOnManyPorts(options);
    }
    std::string refusal;
    std::unique_ptr<LineFile> boardLog;
    if (!options.LogPath.empty() && !(boardLog = LineFile::OpenNamed(options.LogPath, "log", refusal))) {
        std::fprintf(stderr, "zentrel-cli: %s\n", refusal.c_str());
        return Exit::Usage;
    }
    TerminalShell shell(options.Json, !options.Quiet && ErrorIsTerminal(), boardLog.get());
    return RunOnPort(options, shell);
}
