#pragma once

// The main window's connection commands; each is run as a handled event handler, under the busy wrapper.
namespace UpsLink {

// The Connect button: connects or disconnects, only while the port is open.
void OnConnectClick();
// UPS menu, Connect: connects whatever the connected state (a connect disconnects first).
void OnConnectMenu();
// UPS menu, Disconnect: disconnects when connected.
void OnDisconnectMenu();
// The Module button: the module select dialog while connected, else "Link Down".
void OnModuleClick();

}  // namespace UpsLink
