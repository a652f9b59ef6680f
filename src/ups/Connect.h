#pragma once

namespace UpsLink {

// How a connect ended. A fault reported by the connect after the type was accepted leaves it accepted.
enum class ConnectEnd { Fault, NoUps, TypeRefused, Accepted };

struct ConnectOutcome {
    ConnectEnd End = ConnectEnd::Fault;
    explicit operator bool() const { return End == ConnectEnd::Accepted; }
};

// Wakes the link, reads the supported commands, identifies the unit and accepts or refuses its
// type; true only for an accepted type.
ConnectOutcome ConnectUps();
// Ends the conversation and puts the port and the window back to idle. Traps no faults.
bool DisconnectUps();

// FF: the first command of every connect and disconnect.
bool SendOpeningCommand();
// FF 06 08 62: sent once a type is accepted.
bool SendSessionCommand();
// 40: the list of supported command codes, into ReplyData.
bool RequestCommandList();
// Rebuilds SupportedCommands from the command list: one character per code.
bool ReadSupportedCommands();

}  // namespace UpsLink
