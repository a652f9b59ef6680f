#include "Globals.h"

namespace UpsLink {

std::string BaudRate;
std::string Parity;
int16_t DataBits;
int16_t StopBits;
std::string PortNumber;

bool Connected;
std::array<uint8_t, RxBufferSize> RxBuffer;
std::vector<uint8_t> ReplyData;
std::vector<uint8_t> CommandData;
int32_t SendTime;
int16_t ReplyTimeout;

void InitLinkGlobals()
{
    // Start-up passes the same defaults to InitPort again; fixtures rely on these.
    BaudRate = "19200";
    Parity = "N";
    DataBits = 8;
    StopBits = 1;
    PortNumber = "1";

    Connected = false;
    RxBuffer.fill(0);
    ReplyData.assign(1, 0);
    CommandData.clear();
    SendTime = 0;
    ReplyTimeout = DefaultReplyTimeout;
}

}  // namespace UpsLink
