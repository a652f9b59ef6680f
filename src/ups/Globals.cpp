#include "Globals.h"

namespace UpsLink {

int16_t UpsType;
std::array<float, 6> CpuVersion;
int16_t ConfigBlockLength;
std::string SupportedCommands;
std::string SelectedModule;
std::vector<int16_t> ModuleList;
std::vector<int16_t> ModulePath;

void InitUpsGlobals()
{
    UpsType = 0;
    CpuVersion.fill(0.0F);
    ConfigBlockLength = 0;
    SupportedCommands.clear();
    SelectedModule.assign(1, '0');
    ModuleList.clear();
    ModulePath.assign(1, 0);
}

}  // namespace UpsLink
