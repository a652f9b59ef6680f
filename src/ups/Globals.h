#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The state of the UPS connection: written by connect and identification (UpsType, CpuVersion,
// ConfigBlockLength, SupportedCommands) and by module discovery and selection (the rest).
namespace UpsLink {

extern int16_t UpsType;
// Used from element 1 to 5; element 0 is never read.
extern std::array<float, 6> CpuVersion;
extern int16_t ConfigBlockLength;
extern std::string SupportedCommands;
extern std::string SelectedModule;
extern std::vector<int16_t> ModuleList;
extern std::vector<int16_t> ModulePath;

void InitUpsGlobals();

}  // namespace UpsLink
