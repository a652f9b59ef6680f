#pragma once

namespace UpsLink {

// Wakes the link, reads the supported commands, identifies the unit and accepts or refuses its
// type; true only for an accepted type.
bool ConnectUps();
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
