#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Protocol.h"

// The state of the serial link: written by the port settings dialog (settings), by port control
// and the command transaction (buffers), and by connect and disconnect (Connected).
namespace UpsLink {

// Port settings.
extern std::string BaudRate;
extern std::string Parity;
extern int16_t DataBits;
extern int16_t StopBits;
extern std::string PortNumber;

// Serial link.
extern bool Connected;
extern std::array<uint8_t, RxBufferSize> RxBuffer;
extern std::vector<uint8_t> ReplyData;
extern std::vector<uint8_t> CommandData;
extern int32_t SendTime;
extern int16_t ReplyTimeout;

void InitLinkGlobals();

}  // namespace UpsLink
