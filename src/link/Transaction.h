#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace UpsLink {

// Sends one command and waits for its answer, resending while it is missing, unusable or busy.
bool SendCommand(int payloadLength, const std::vector<uint8_t>& data, int expectedCode, bool ackMode);
// The payload put in CommandData and sent whole: how every procedure above the link sends.
bool Send(std::vector<uint8_t> payload, int expectedCode, bool ackMode = false);
// Waits until the line falls quiet or the time limit passes, and copies what came into RxBuffer.
bool ReadReply();
// The reply code of a valid reply, 0 when nothing valid was read.
int GetReplyCode();
// The acknowledgement code, 0 when the reply is not an acknowledgement.
int GetAckCode();
// A line on the status board.
void PostToBoard(const std::string& text);

}  // namespace UpsLink
