#include "ModuleSelect.h"

#include "Connect.h"
#include "Globals.h"
#include "Modules.h"
#include "common/Fault.h"
#include "common/Text.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "platform/Seams.h"
#include "platform/Trapped.h"

namespace UpsLink {

std::optional<std::vector<int16_t>> DetermineModules(const std::function<void()>& cleared)
{
    Shell& shell = frmMain();
    return Trapped(Mark::ModuleLoad, [&]() -> std::optional<std::vector<int16_t>> {
        shell.AddToBoard("Determining Modules Supported...");
        cleared();
        std::vector<int16_t> listed;
        if (!DiscoverModules()) {
            shell.AddToBoard("No modules detected");
        } else if (ModuleList.size() <= MaxListedModules) {
            for (int16_t module : ModuleList)
                if (module < NoModule) listed.push_back(module);
        }
        shell.AddToBoard("Done");
        return listed;
    });
}

SwitchEnd ApplyModuleSelect(const std::string& chosen)
{
    Shell& shell = frmMain();
    return Trapped(Mark::ModuleApply, [&] {
        shell.BoardClear();
        const auto module = static_cast<long long>(NumericPrefix(chosen));
        MessageRequest warning;
        warning.Title = "Update Configuration";
        warning.Text = "WARNING: You are about to switch to MODULE " + std::to_string(module) + "\r\n\r\nContinue? ";
        warning.Buttons = MsgButtons::YesNo;
        warning.Icon = MsgIcon::Exclamation;
        warning.DefaultButton = 1;
        const MsgAnswer answer = shell.MessageBox(warning);
        shell.SetBusyPointer(true);
        if (answer != MsgAnswer::Yes) return SwitchEnd::Declined;
        // Each hop of the path gets its own two seconds.
        ReplyTimeout = ToInt16(static_cast<long long>(ModulePath.size()) * 2);
        SelectedModule = std::to_string(module);
        shell.AddToBoard("Selecting Module " + SelectedModule);
        SelectModule(HexText(static_cast<uint64_t>(module)));
        Connected = false;
        shell.AddToBoard("Restarting Communication...");
        return ConnectUps() ? SwitchEnd::Accepted : SwitchEnd::NotAccepted;
    });
}

}  // namespace UpsLink
