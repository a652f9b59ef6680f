#include "Transaction.h"

#include <algorithm>
#include <cmath>

#include "Frame.h"
#include "Globals.h"
#include "PortControl.h"
#include "Protocol.h"
#include "common/Fault.h"
#include "platform/Seams.h"
#include "platform/Trapped.h"

namespace UpsLink {

namespace {

// How long one read may keep extending: a line that never falls quiet (a babbling or dripping
// unit) must not hold the window. Long enough for a full receive buffer at the port's rate, and
// never less than the transaction's own window.
int ReadLimitMs(const Port& port)
{
    const double lineMs = RxBufferSize * 10000.0 / ParseSettings(port.Settings()).BaudRate;
    return static_cast<int>(std::max(milliseconds(ReplyWindow).count(),
                                     static_cast<long>(lineMs) + milliseconds(QuietExtension).count()));
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
    return Trapped(Mark::SendCommand, [&] {
        FlushPort();
        Port& port = MSComm1();
        if (!port.PortOpen()) return false;
        const std::vector<uint8_t> frame = BuildFrame(payloadLength, data);
        port.Output(frame);
        SendTime = static_cast<int32_t>(std::lround(Timer()));
        Sleep(PauseAfterWrite);

        if (!ackMode && expectedCode <= 0) return true;
        for (int tries = 0; tries < MaxReads && Timer() < static_cast<double>(SendTime + ReplyWindow.count());) {
            ++tries;
            const int code = ackMode ? GetAckCode() : GetReplyCode();
            if (code == expectedCode) return true;
            if (IsPositiveAck(code)) return ackMode;
            if (IsRefusal(code)) return false;
            port.Output(frame);
            Sleep(PauseAfterWrite);
        }
        return false;
    });
}

bool Send(std::vector<uint8_t> payload, int expectedCode, bool ackMode)
{
    CommandData = std::move(payload);
    return SendCommand(static_cast<int>(CommandData.size()), CommandData, expectedCode, ackMode);
}

bool ReadReply()
{
    return Trapped(Mark::ReadReply, [] {
        Port& port = MSComm1();
        RxBuffer.fill(0);
        const int limitMs = ReadLimitMs(port);
        const int pollMs = static_cast<int>(PollInterval.count());
        double start = Timer();
        for (int polledMs = 0; Timer() < start + ReplyTimeout && polledMs < limitMs; polledMs += pollMs) {
            const int before = port.InBufferCount();
            Sleep(PollInterval);
            const int arrived = port.InBufferCount() - before;
            if (Timer() < start + ReplyTimeout && arrived == 0) break;
            start += static_cast<double>(QuietExtension.count());
        }
        Sleep(PauseBeforeRead);
        const int waiting = port.InBufferCount();
        if (waiting > 0) {
            const std::vector<uint8_t> bytes = port.Input();
            const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(waiting), bytes.size());
            std::copy_n(bytes.begin(), std::min(count, RxBuffer.size()), RxBuffer.begin());
            if (count > RxBuffer.size()) throw ReplyTooLong;
        }
        return true;
    });
}

int GetReplyCode()
{
    return Trapped(Mark::GetReplyCode, [] {
        if (!ReadReply()) return 0;
        if (!ParseReply()) return 0;
        if (RxBuffer[1] == BlockType::Ack) return static_cast<int>(At(ReplyData, 0));
        return static_cast<int>(RxBuffer[1]);
    });
}

int GetAckCode()
{
    return Trapped(Mark::GetAckCode, [] {
        if (!ReadReply()) return 0;
        if (RxBuffer[1] == BlockType::Ack) return static_cast<int>(RxBuffer[4]);
        return 0;
    });
}

void PostToBoard(const std::string& text) { frmMain().AddToBoard(text); }

}  // namespace UpsLink
