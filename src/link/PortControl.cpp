#include "PortControl.h"

#include <cmath>
#include <optional>

#include "Globals.h"
#include "common/Fault.h"
#include "common/Text.h"
#include "platform/Seams.h"
#include "platform/Trapped.h"

namespace UpsLink {

namespace {

void ShowIndicator() { frmMain().ShowConnected(Connected); }

std::string OpenFailureLine(const Fault& fault)
{
    switch (fault.Number) {
    case FaultNo::DeviceNotOpen: return "Unable to open port";
    case FaultNo::PortAlreadyOpen: return "Port already open";
    case FaultNo::InvalidPortNumber: return "Invalid port number";
    case FaultNo::CouldNotSetCommState: return "Invalid communications parameters";
    case FaultNo::InvalidPropertyValue: return "Invalid Baud Rate";
    default: return FaultText(fault);
    }
}

int16_t PortNumberValue()
{
    const double value = RoundedNumber(PortNumber);
    // Far outside 16 bits it overflows before any conversion to an integer is tried.
    if (std::fabs(value) > 1e9) throw Fault(FaultNo::Overflow);
    return ToInt16(static_cast<long long>(value));
}

}  // namespace

std::string SettingsString()
{
    return BaudRate + "," + Parity + "," + std::to_string(DataBits) + "," + std::to_string(StopBits);
}

std::string PortLabelText()
{
    const Port& port = MSComm1();
    return " COM" + std::to_string(port.CommPort()) + "," + port.Settings();
}

void InitPort(const std::string& baudRate, const std::string& parity, int16_t dataBits, int16_t stopBits,
              const std::string& portNumber)
{
    if (!baudRate.empty()) BaudRate = baudRate;
    if (!parity.empty()) Parity = parity;
    if (dataBits != 0) DataBits = dataBits;
    if (stopBits != 0) StopBits = stopBits;
    if (!portNumber.empty()) PortNumber = portNumber;
    OpenPort();
}

void OpenPort()
{
    Port& port = MSComm1();
    // Every step is tried; only the last failure counts.
    std::optional<Fault> failure;
    auto attempt = [&failure](auto&& step) {
        try {
            step();
        } catch (const Fault& fault) {
            failure = fault;
        }
    };

    FlushPort();
    attempt([&] {
        if (port.PortOpen()) port.SetPortOpen(false);
    });
    attempt([&] { port.SetRTSEnable(false); });
    attempt([&] { port.SetDTREnable(false); });
    attempt([&] { port.SetInBufferCount(0); });
    attempt([&] { port.SetSettings(SettingsString()); });
    attempt([&] { port.SetCommPort(PortNumberValue()); });
    attempt([&] { port.SetPortOpen(true); });

    Shell& shell = frmMain();
    shell.SetPortLabelStruck(false);
    shell.SetPortLabel(PortLabelText());
    ShowIndicator();
    shell.Repaint();

    if (!failure) return;
    const std::string line = OpenFailureLine(*failure);
    attempt([&] {
        if (port.PortOpen()) port.SetPortOpen(false);
    });
    shell.SetPortLabelStruck(true);
    Connected = false;
    // Redrawn so the window never shows a connection that was just dropped.
    ShowIndicator();
    shell.AddToBoard(line);
}

void ResetPort() { OpenPort(); }

void FlushPort()
{
    Trapped(Mark::FlushPort, [] {
        Port& port = MSComm1();
        while (port.InBufferCount() > 0) port.Input();
        RxBuffer.fill(0);
        ReplyData.clear();
        ShowIndicator();
    });
}

}  // namespace UpsLink
