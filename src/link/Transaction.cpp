#include "Transaction.h"

#include <algorithm>
#include <cmath>

#include "Frame.h"
#include "PortControl.h"
#include "common/Fault.h"
#include "common/Globals.h"
#include "platform/Seams.h"

namespace UpsLink {

namespace {

constexpr int PauseAfterWriteMs = 500;
constexpr int PollMs = 600;
constexpr int PauseBeforeReadMs = 200;
constexpr int MaxReads = 5;
constexpr int WindowSeconds = 15;
constexpr int QuietExtensionSeconds = 2;

// How long one read may keep extending: a line that never falls quiet (a babbling or dripping
// unit) must not hold the window. Long enough for a full receive buffer at the port's rate, and
// never less than the transaction's own window.
int ReadLimitMs(const Port& port)
{
    const double lineMs = RxBufferSize * 10000.0 / ParseSettings(port.Settings()).BaudRate;
    return std::max(WindowSeconds * 1000, static_cast<int>(lineMs) + QuietExtensionSeconds * 1000);
}

bool IsPositiveAck(int code)
{
    return code == AckCode::Accepted || code == AckCode::NotImplemented;
}
bool IsRefusal(int code)
{
    return code >= AckCode::Unrecognized && code <= AckCode::AcceptedAdjusted;
}

// Past the reply-too-long limit of the receive buffer: a failure of the read, not of the protocol.
const Fault ReplyTooLong{FaultNo::SubscriptOutOfRange};

}  // namespace

bool SendCommand(int payloadLength, const std::vector<uint8_t>& data, int expectedCode, bool ackMode)
{
    try {
        FlushPort();
        Port& port = MSComm1();
        if (!port.PortOpen()) return false;
        const std::vector<uint8_t> frame = BuildFrame(payloadLength, data);
        port.Output(frame);
        SendTime = static_cast<int32_t>(std::lround(Timer()));
        Sleep(PauseAfterWriteMs);

        if (!ackMode && expectedCode <= 0) return true;
        for (int tries = 0; tries < MaxReads && Timer() < SendTime + WindowSeconds;) {
            ++tries;
            const int code = ackMode ? GetAckCode() : GetReplyCode();
            if (code == expectedCode) return true;
            if (IsPositiveAck(code)) return ackMode;
            if (IsRefusal(code)) return false;
            port.Output(frame);
            Sleep(PauseAfterWriteMs);
        }
        return false;
    } catch (const Fault& fault) {
        frmMain().AddToBoard(FaultLine(fault, " ", 5));
        return false;
    }
}

bool ReadReply()
{
    try {
        Port& port = MSComm1();
        RxBuffer.fill(0);
        const int limitMs = ReadLimitMs(port);
        double start = Timer();
        for (int polledMs = 0; Timer() < start + ReplyTimeout && polledMs < limitMs; polledMs += PollMs) {
            const int before = port.InBufferCount();
            Sleep(PollMs);
            const int arrived = port.InBufferCount() - before;
            if (Timer() < start + ReplyTimeout && arrived == 0) break;
            start += QuietExtensionSeconds;
        }
        Sleep(PauseBeforeReadMs);
        const int waiting = port.InBufferCount();
        if (waiting > 0) {
            const std::vector<uint8_t> bytes = port.Input();
            const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(waiting), bytes.size());
            std::copy_n(bytes.begin(), std::min(count, RxBuffer.size()), RxBuffer.begin());
            if (count > RxBuffer.size()) throw ReplyTooLong;
        }
        return true;
    } catch (const Fault& fault) {
        frmMain().AddToBoard(FaultLine(fault, " ", 4));
        return false;
    }
}

int GetReplyCode()
{
    try {
        if (!ReadReply()) return 0;
        if (!ParseReply()) return 0;
        if (RxBuffer[1] == AckBlockType) return At(ReplyData, 0);
        return RxBuffer[1];
    } catch (const Fault& fault) {
        frmMain().AddToBoard(FaultLine(fault, "", 35));
        return 0;
    }
}

int GetAckCode()
{
    try {
        if (!ReadReply()) return 0;
        if (RxBuffer[1] == AckBlockType) return RxBuffer[4];
        return 0;
    } catch (const Fault& fault) {
        frmMain().AddToBoard(FaultLine(fault, "", 3));
        return 0;
    }
}

void PostToBoard(const std::string& text, bool show)
{
    if (show) frmMain().AddToBoard(text);
}

}  // namespace UpsLink
