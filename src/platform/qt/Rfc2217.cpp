#include "Rfc2217.h"

namespace UpsLink::Rfc2217 {

namespace {

Bytes Subnegotiation(uint8_t command, const Bytes& value)
{
    Bytes out{Iac, Sb, ComPortOption, command};
    const Bytes escaped = Escape(value);
    out.insert(out.end(), escaped.begin(), escaped.end());
    out.insert(out.end(), {Iac, Se});
    return out;
}

uint8_t ParityCode(char parity)
{
    switch (parity) {
    case 'O': return 2;
    case 'E': return 3;
    case 'M': return 4;
    case 'S': return 5;
    default: return 1;
    }
}

uint8_t StopSizeCode(double stopBits)
{
    if (stopBits == 2) return 2;
    if (stopBits == 1.5) return 3;
    return 1;
}

bool WeDo(uint8_t option) { return option == Binary || option == SuppressGoAhead || option == ComPortOption; }
bool TheyMayDo(uint8_t option) { return option == Binary || option == SuppressGoAhead; }

}  // namespace

Bytes Escape(const Bytes& data)
{
    Bytes out;
    out.reserve(data.size());
    for (uint8_t b : data) {
        out.push_back(b);
        if (b == Iac) out.push_back(Iac);
    }
    return out;
}

Bytes SettingsCommands(const CommSettings& settings)
{
    const auto rate = static_cast<uint32_t>(settings.BaudRate);
    Bytes out = Subnegotiation(SetBaudRate, {static_cast<uint8_t>(rate >> 24), static_cast<uint8_t>(rate >> 16),
                                             static_cast<uint8_t>(rate >> 8), static_cast<uint8_t>(rate)});
    for (const Bytes& more : {Subnegotiation(SetDataSize, {static_cast<uint8_t>(settings.DataBits)}),
                              Subnegotiation(SetParity, {ParityCode(settings.Parity)}),
                              Subnegotiation(SetStopSize, {StopSizeCode(settings.StopBits)})})
        out.insert(out.end(), more.begin(), more.end());
    return out;
}

Bytes PurgeCommand() { return Subnegotiation(PurgeData, {3}); }

Bytes Session::Start()
{
    for (uint8_t option : {Binary, SuppressGoAhead, ComPortOption}) ours_[option] = true;
    for (uint8_t option : {Binary, SuppressGoAhead}) theirs_[option] = true;
    return {Iac, Will, Binary, Iac, Do, Binary, Iac, Will, SuppressGoAhead, Iac, Do, SuppressGoAhead,
            Iac, Will, ComPortOption};
}

// Answers only a change of state, so two sides that agree never answer each other for ever.
void Session::Negotiate(uint8_t verb, uint8_t option, Bytes& answer)
{
    const auto reply = [&](uint8_t how) { answer.insert(answer.end(), {Iac, how, option}); };
    switch (verb) {
    case Do:
        if (!WeDo(option))
            reply(Wont);
        else if (!ours_[option])
            ours_[option] = true, reply(Will);
        break;
    case Dont:
        if (ours_[option]) ours_[option] = false, reply(Wont);
        break;
    case Will:
        if (!TheyMayDo(option))
            reply(Dont);
        else if (!theirs_[option])
            theirs_[option] = true, reply(Do);
        break;
    default:
        if (theirs_[option]) theirs_[option] = false, reply(Dont);
        break;
    }
}

Session::Taken Session::Feed(const Bytes& bytes)
{
    Taken taken;
    for (uint8_t b : bytes) {
        switch (state_) {
        case State::Data:
            if (b == Iac)
                state_ = State::Command;
            else
                taken.Data.push_back(b);
            break;
        case State::Command:
            if (b == Iac) {
                taken.Data.push_back(b);
                state_ = State::Data;
            } else if (b >= Will && b <= Dont) {
                verb_ = b;
                state_ = State::Option;
            } else {
                state_ = b == Sb ? State::Sub : State::Data;
            }
            break;
        case State::Option:
            Negotiate(verb_, b, taken.Answer);
            state_ = State::Data;
            break;
        // The server's notifications and its replies to our commands: read and dropped.
        case State::Sub:
            if (b == Iac) state_ = State::SubCommand;
            break;
        case State::SubCommand:
            state_ = b == Se ? State::Data : State::Sub;
            break;
        }
    }
    return taken;
}

}  // namespace UpsLink::Rfc2217
