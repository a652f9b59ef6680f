#include "Connect.h"

#include <string>

#include "Globals.h"
#include "Identification.h"
#include "common/AppTitle.h"
#include "common/Fault.h"
#include "common/Text.h"
#include "config/ConfigFile.h"
#include "config/Globals.h"
#include "link/Globals.h"
#include "link/PortControl.h"
#include "link/Protocol.h"
#include "link/Transaction.h"
#include "platform/Seams.h"
#include "platform/Trapped.h"

namespace UpsLink {

namespace {

std::string ModuleFoundLine()
{
    const std::string number = NumericPrefix(SelectedModule) != 0 ? SelectedModule + " " : "";
    return "Module " + number + "Found";
}

void AcceptType(const std::string& line)
{
    Connected = true;
    SendSessionCommand();
    frmMain().AddToBoard(line);
}

}  // namespace

bool SendOpeningCommand()
{
    return Send({Command::Opening}, 0);
}

bool SendSessionCommand()
{
    return Send({SessionCommand.begin(), SessionCommand.end()}, 0);
}

bool RequestCommandList()
{
    return Send({Command::CommandList}, BlockType::CommandList);
}

bool ReadSupportedCommands()
{
    try {
        SupportedCommands.clear();
        if (!RequestCommandList()) return false;
        for (std::size_t i = FirstCommandEntry; i < ReplyData.size(); ++i)
            SupportedCommands += static_cast<char>(ReplyData[i]);
        return true;
    } catch (const Fault&) {
        return false;
    }
}

ConnectOutcome ConnectUps()
{
    Shell& shell = frmMain();
    ConnectOutcome result;
    Trapped(Mark::ConnectUps, [&] {
        Sleep(PauseAroundConnect);
        if (Connected) DisconnectUps();
        Sleep(PauseAroundConnect);
        UpsType = 0;
        shell.BoardClear();
        shell.AddToBoard("Connecting...");
        shell.Repaint();
        SendOpeningCommand();
        shell.Repaint();
        ReadSupportedCommands();
        shell.Repaint();
        UpsType = ToInt16(ReadUpsType());
        shell.Repaint();

        if (UpsType <= 1) {
            result.End = ConnectEnd::NoUps;
            shell.AddToBoard("NO UPS Found");
        } else {
            switch (UpsType) {
                case UnitType::Ups:
                case UnitType::SecondUps:
                case UnitType::ThirdUps:
                    result.End = ConnectEnd::Accepted;
                    AcceptType("UPS Found");
                    break;
                case UnitType::Module:
                    result.End = ConnectEnd::Accepted;
                    AcceptType(ModuleFoundLine());
                    break;
                default:
                    result.End = ConnectEnd::TypeRefused;
                    shell.AddToBoard("Invalid UPS Type");
            }
            FlushPort();
            if (ReadSupportedCommands() && !SupportedCommands.empty())
                shell.SetModuleEnabled(SupportedCommands.find(static_cast<char>(Command::Module)) != std::string::npos);
        }
        shell.AddToBoard("Done");
        Sleep(PauseAfterConnect);
    });
    return result;
}

bool DisconnectUps()
{
    Shell& shell = frmMain();
    Sleep(PauseBeforeDisconnect);
    SendOpeningCommand();
    shell.BoardClear();
    ShownFileTitle.clear();
    PostToBoard("Disconnecting...");
    CloseConfigFile();
    UpsType = 0;
    Connected = false;
    shell.SetModuleEnabled(true);
    ResetPort();
    shell.SetCaption(AppTitle);
    shell.AddToBoard("Complete");
    return true;
}

}  // namespace UpsLink
