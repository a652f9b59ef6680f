#pragma once

#include <cstdint>
#include <string>

namespace UpsLink {

// The settings string: baud rate, parity, data bits and stop bits separated by commas.
std::string SettingsString();

// The port label: " COMn," and the port's settings string.
std::string PortLabelText();

// Stores each given setting (text not empty, number not zero), then opens the port.
void InitPort(const std::string& baudRate, const std::string& parity, int16_t dataBits, int16_t stopBits,
              const std::string& portNumber);
// Reconfigures and reopens the port; failures become one board line and a struck-through label.
void OpenPort();
void ResetPort();
// Empties the receive side and redraws the connection indicator.
void FlushPort();

}  // namespace UpsLink
