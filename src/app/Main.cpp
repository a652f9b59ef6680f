#include "Main.h"

#include "Dialogs.h"
#include "common/EscapedFault.h"
#include "common/AppTitle.h"
#include "core/InitGlobals.h"
#include "frmMain.h"
#include "link/PortControl.h"
#include "platform/Seams.h"

namespace UpsLink {

std::unique_ptr<::frmMain> Main(Port& port, Clock& clock, const MainWindowLoader& load)
{
    std::unique_ptr<::frmMain> window;
    try {
        InitGlobals();
        InstallClock(&clock);
        InstallPort(&port);
        window = load();
        InstallShell(window.get());
        InitPort("19200", "N", 8, 1, "1");
        window->show();
        return window;
    } catch (...) {
        const Fault fault = EscapedFault();
        if (fault.Number > 0 && fault.Number != FaultNo::DeviceNotOpen)
            ShowMessageBox(nullptr, {FaultLine(fault, Mark::Main), AppTitle, MsgButtons::OkOnly});
    }
    if (window) {
        window->ExitStatus = 1;
        window->close();
        InstallShell(nullptr);
    }
    return nullptr;
}

}  // namespace UpsLink
