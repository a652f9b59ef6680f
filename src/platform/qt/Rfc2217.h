#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/Port.h"

// The Telnet side of a port served over RFC 2217: what the line writes besides the unit's bytes,
// and how the unit's bytes are taken out of what the server sends. No socket here.
namespace UpsLink::Rfc2217 {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t Iac = 255, Dont = 254, Do = 253, Wont = 252, Will = 251, Sb = 250, Se = 240;
constexpr uint8_t Binary = 0, SuppressGoAhead = 3, ComPortOption = 44;
constexpr uint8_t SetBaudRate = 1, SetDataSize = 2, SetParity = 3, SetStopSize = 4, PurgeData = 12;

// The unit's bytes as they go on the wire: every 0xFF doubled.
Bytes Escape(const Bytes& data);

// SET-BAUDRATE, SET-DATASIZE, SET-PARITY and SET-STOPSIZE, so the far port takes these settings.
Bytes SettingsCommands(const CommSettings& settings);

// PURGE-DATA of both of the far port's buffers.
Bytes PurgeCommand();

// One Telnet session from the client's side: it offers BINARY both ways, SUPPRESS-GO-AHEAD both
// ways and COM-PORT-OPTION from its side, answers the server's requests, refuses every other
// option, and hands on only the data. A sequence split across reads is completed by the next.
class Session {
public:
    struct Taken {
        Bytes Data;    // the unit's bytes, 0xFF undoubled
        Bytes Answer;  // to write back to the server
    };

    // The offer that opens the session.
    Bytes Start();
    // Takes bytes as they came from the server.
    Taken Feed(const Bytes& bytes);

private:
    enum class State { Data, Command, Option, Sub, SubCommand };
    void Negotiate(uint8_t verb, uint8_t option, Bytes& answer);

    State state_ = State::Data;
    uint8_t verb_ = 0;
    std::array<bool, 256> ours_{};    // options we do
    std::array<bool, 256> theirs_{};  // options the server does
};

}  // namespace UpsLink::Rfc2217
