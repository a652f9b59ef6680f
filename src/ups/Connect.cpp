#include "Connect.h"

#include <string>

#include "Identification.h"
#include "common/Fault.h"
#include "common/Globals.h"
#include "common/Text.h"
#include "config/ConfigFile.h"
#include "link/PortControl.h"
#include "link/Transaction.h"
#include "platform/Seams.h"

namespace UpsLink {

namespace {

constexpr uint8_t OpeningCommand = 0xFF;
constexpr uint8_t CommandListRequest = 0x40;
constexpr int CommandListReply = 0x10;
constexpr char ModuleSelectCode = static_cast<char>(0xCE);
constexpr int FirstCommandIndex = 2;

constexpr int UnitType = 280;
constexpr int ModuleType = 281;
constexpr int SecondUnitType = 290;
constexpr int ThirdUnitType = 293;

bool Send(std::vector<uint8_t> payload, int expectedCode)
{
    CommandData = std::move(payload);
    return SendCommand(static_cast<int>(CommandData.size()), CommandData, expectedCode, false);
}

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
    return Send({OpeningCommand}, 0);
}

bool SendSessionCommand()
{
    return Send({0xFF, 0x06, 0x08, 0x62}, 0);
}

bool RequestCommandList()
{
    return Send({CommandListRequest}, CommandListReply);
}

bool ReadSupportedCommands()
{
    try {
        SupportedCommands.clear();
        if (!RequestCommandList()) return false;
        for (std::size_t i = FirstCommandIndex; i < ReplyData.size(); ++i)
            SupportedCommands += static_cast<char>(ReplyData[i]);
        return true;
    } catch (const Fault&) {
        return false;
    }
}

bool ConnectUps()
{
    Shell& shell = frmMain();
    bool result = false;
    try {
        Sleep(100);
        if (Connected) DisconnectUps();
        Sleep(100);
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
            shell.AddToBoard("NO UPS Found");
        } else {
            switch (UpsType) {
                case UnitType:
                case SecondUnitType:
                case ThirdUnitType:
                    result = true;
                    AcceptType("UPS Found");
                    break;
                case ModuleType:
                    result = true;
                    AcceptType(ModuleFoundLine());
                    break;
                default: shell.AddToBoard("Invalid UPS Type");
            }
            FlushPort();
            if (ReadSupportedCommands() && !SupportedCommands.empty())
                shell.SetModuleEnabled(SupportedCommands.find(ModuleSelectCode) != std::string::npos);
        }
        shell.AddToBoard("Done");
        Sleep(500);
        return result;
    } catch (const Fault& fault) {
        shell.AddToBoard(FaultLine(fault, " ", 6));
        return result;
    }
}

bool DisconnectUps()
{
    Shell& shell = frmMain();
    Sleep(20);
    SendOpeningCommand();
    shell.BoardClear();
    ShownFileTitle.clear();
    PostToBoard("Disconnecting...", true);
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
