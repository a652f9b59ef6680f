#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace UpsLink {

// Acknowledgement codes of the protocol.
namespace AckCode {
constexpr int Accepted = 0x31;
constexpr int NotImplemented = 0x32;
constexpr int Busy = 0x33;
constexpr int Unrecognized = 0x34;
constexpr int AcceptedAdjusted = 0x37;
}  // namespace AckCode

// Sends one command and waits for its answer, resending while it is missing, unusable or busy.
bool SendCommand(int payloadLength, const std::vector<uint8_t>& data, int expectedCode, bool ackMode);
// Waits until the line falls quiet or the time limit passes, and copies what came into RxBuffer.
bool ReadReply();
// The reply code of a valid reply, 0 when nothing valid was read.
int GetReplyCode();
// The acknowledgement code, 0 when the reply is not an acknowledgement.
int GetAckCode();
void PostToBoard(const std::string& text, bool show);

}  // namespace UpsLink
