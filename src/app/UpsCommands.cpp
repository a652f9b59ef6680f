#include "UpsCommands.h"

#include "frmSMSelect.h"
#include "link/Globals.h"
#include "platform/Busy.h"
#include "platform/Seams.h"
#include "ups/Connect.h"

namespace UpsLink {

namespace {

// The menu items' variant of the busy wrapper: the hourglass always, the command only while the window takes input.
template <class Action>
void FromMenu(Action action)
{
    frmMain().SetBusyPointer(true);
    if (frmMain().Enabled()) {
        Busy busy;
        action();
    }
    frmMain().SetBusyPointer(false);
}

}  // namespace

void OnConnectClick()
{
    Busy busy;
    if (frmMain().PortLabelStruck()) return;
    if (Connected)
        DisconnectUps();
    else
        ConnectUps();
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
    Busy busy;
    frmMain().BoardClear();
    if (Connected)
        ShowModuleSelect();
    else
        frmMain().AddToBoard("Link Down");
}

}  // namespace UpsLink
