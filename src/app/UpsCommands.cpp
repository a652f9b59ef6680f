#include "UpsCommands.h"

#include "common/Fault.h"
#include "frmSMSelect.h"
#include "link/Globals.h"
#include "platform/Busy.h"
#include "platform/Seams.h"
#include "ups/Connect.h"

namespace UpsLink {

namespace {

// DisconnectUps traps nothing; what escapes it still gets a board line rather than ending the program.
template <class Action>
void Reporting(Action action)
{
    try {
        action();
    } catch (const Fault& fault) {
        frmMain().AddToBoard(FaultText(fault));
    }
}

// The menu items' variant of the busy wrapper: the hourglass always, the command only while the window takes input.
template <class Action>
void FromMenu(Action action)
{
    Reporting([&] {
        frmMain().SetBusyPointer(true);
        if (frmMain().Enabled()) {
            Busy busy;
            action();
        }
        frmMain().SetBusyPointer(false);
    });
}

}  // namespace

void OnConnectClick()
{
    Reporting([] {
        Busy busy;
        if (frmMain().PortLabelStruck()) return;
        if (Connected)
            DisconnectUps();
        else
            ConnectUps();
    });
}

void OnConnectMenu()
{
    FromMenu([] { ConnectUps(); });
}

void OnDisconnectMenu()
{
    FromMenu([] {
        if (Connected) DisconnectUps();
    });
}

void OnModuleClick()
{
    Reporting([] {
        Busy busy;
        frmMain().BoardClear();
        if (Connected)
            ShowModuleSelect();
        else
            frmMain().AddToBoard("Link Down");
    });
}

}  // namespace UpsLink
