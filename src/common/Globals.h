#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The process-wide state of the UPS link, the UPS connection and the configuration file.
namespace UpsLink {

constexpr const char* AppTitle = "Zentrel";
constexpr std::size_t RxBufferSize = 1024;

// Port settings.
extern std::string BaudRate;
extern std::string Parity;
extern int16_t DataBits;
extern int16_t StopBits;
extern std::string PortNumber;

// Serial link.
extern bool Connected;
extern std::array<uint8_t, RxBufferSize> RxBuffer;
extern std::vector<uint8_t> ReplyData;
extern std::vector<uint8_t> CommandData;
extern int32_t SendTime;
extern int16_t ReplyTimeout;

// UPS connection. CpuVersion is used from element 1 to 5; element 0 is never read.
extern int16_t UpsType;
extern std::array<float, 6> CpuVersion;
extern int16_t ConfigBlockLength;
extern std::string SupportedCommands;
extern std::string SelectedModule;
extern std::vector<int16_t> ModuleList;
extern std::vector<int16_t> ModulePath;

// Configuration file.
extern std::vector<uint8_t> FileImage;
extern std::array<uint8_t, 9> FileKey;
extern int16_t ConfigFileNumber;
extern std::string ConfigFileTitle;
extern std::string ShownFileTitle;
extern std::vector<int16_t> RecordNumbers;
extern std::vector<std::string> RecordData;

// Gives every global its start value; start-up and every test fixture call it.
void InitGlobals();

}  // namespace UpsLink
