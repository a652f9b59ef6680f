#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

// The facts of the UPS link protocol: frame and block layout, command and reply codes, the
// pauses of the program's side, and the limits. The program, the simulated unit and the tools
// all read them from here.
namespace UpsLink {

using std::chrono::milliseconds;
using std::chrono::seconds;

// Frames and reply blocks: AB, length (frame) or type, length, sequence (block), data, checksum.
constexpr uint8_t StartMarker = 0xAB;
constexpr uint8_t LastBlockBit = 0x80;
constexpr uint8_t BlockNumberBits = 0x7F;
constexpr int MaxBlockData = 140;
constexpr int MaxFramePayload = 255;
constexpr std::size_t RxBufferSize = 1024;

// First bytes of the command payloads.
namespace Command {
constexpr uint8_t Opening = 0xFF;
constexpr uint8_t CommandList = 0x40;
constexpr uint8_t Access = 0xCF;
constexpr uint8_t Identification = 0xA0;
constexpr uint8_t TypeCode = 0x36;
constexpr uint8_t Module = 0xCE;
constexpr uint8_t ConfigWrite = 0x78;
// Last byte of a module request that asks for the list rather than selecting a module.
constexpr uint8_t ListModules = 0xFF;
// Record number of the configuration write that ends an update.
constexpr uint8_t ConfigWriteEnd = 0x00;
}  // namespace Command

// Sent once a type code is accepted.
constexpr std::array<uint8_t, 4> SessionCommand{0xFF, 0x06, 0x08, 0x62};
// The three bytes the unit wants after CF before it answers the identification request.
constexpr std::array<uint8_t, 3> AccessCode{0x5A, 0xC3, 0x17};

// Block types of replies.
namespace BlockType {
constexpr uint8_t Identification = 1;
constexpr uint8_t TypeCode = 6;
constexpr uint8_t Ack = 9;
constexpr uint8_t CommandList = 16;
}  // namespace BlockType

// Acknowledgement codes: the first data byte of an acknowledgement block.
namespace AckCode {
constexpr int Selected = 9;  // the answer to a module select
constexpr int Accepted = 0x31;
constexpr int NotImplemented = 0x32;
constexpr int Busy = 0x33;
constexpr int Unrecognized = 0x34;
constexpr int OutOfRange = 0x35;
constexpr int Invalid = 0x36;
constexpr int AcceptedAdjusted = 0x37;
}  // namespace AckCode

// The module list comes in an acknowledgement carrying 31; its entries start at data index 3.
constexpr int ModuleListReply = AckCode::Accepted;
constexpr int FirstModuleEntry = 3;
// The command list's codes start at data index 2.
constexpr int FirstCommandEntry = 2;

// A record's data text: up to 4 hexadecimal digits are a 16-bit value, more are a 16-byte block of
// 32 digits (a longer text is cut, a shorter one filled with leading zeros).
constexpr int ValueTextWidth = 4;
constexpr int BlockTextWidth = 32;

// Type codes the program accepts.
namespace UnitType {
constexpr int Ups = 280;
constexpr int Module = 281;
constexpr int SecondUps = 290;
constexpr int ThirdUps = 293;
}  // namespace UnitType

// The command transaction.
constexpr milliseconds PauseAfterWrite{500};
constexpr milliseconds PollInterval{600};
constexpr milliseconds PauseBeforeRead{200};
constexpr int MaxReads = 5;
constexpr seconds ReplyWindow{15};
constexpr seconds QuietExtension{2};
constexpr int DefaultReplyTimeout = 3;  // seconds; each hop of a module path gets two

// Connect, identification, update and shutdown.
constexpr milliseconds PauseAroundConnect{100};
constexpr milliseconds PauseAfterConnect{500};
constexpr milliseconds PauseAfterAccess{100};
constexpr milliseconds PauseBeforeDisconnect{20};
constexpr milliseconds PauseBeforeRecord{20};
constexpr milliseconds PauseAtShutdown{50};

// The module select dialog lists no more than this many modules, and never module 255.
constexpr std::size_t MaxListedModules = 65;
constexpr int NoModule = 255;

}  // namespace UpsLink
