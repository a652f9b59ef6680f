#include "Modules.h"

#include <cstdint>
#include <vector>

#include "Globals.h"
#include "common/Fault.h"
#include "common/Text.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "link/Transaction.h"

namespace UpsLink {

namespace {

// A processor 4 means the modules sit behind hops and are reached along ModulePath.
bool PathAddressing()
{
    return CpuVersion[4] > 0;
}

uint8_t PathByte(std::size_t index)
{
    return static_cast<uint8_t>(At(ModulePath, static_cast<long long>(index)));
}

void FillModuleList()
{
    const long long entries = static_cast<long long>(ReplyData.size()) - FirstModuleEntry;
    if (entries <= 0) throw Fault(FaultNo::SubscriptOutOfRange);
    ModuleList.assign(static_cast<std::size_t>(entries), 0);
    for (long long i = 0; i < entries; ++i)
        ModuleList[static_cast<std::size_t>(i)] = At(ReplyData, i + FirstModuleEntry);
}

}  // namespace

bool DiscoverModules()
{
    if (!PathAddressing()) {
        if (!Send({Command::Module, 0x00, Command::ListModules}, ModuleListReply)) return false;
        FillModuleList();
        return true;
    }
    if (!Send({Command::Module, Command::ListModules}, ModuleListReply)) return false;
    // The path is remade before its hop is read, so a reply too short for it never leaves an
    // older path in place for a later select.
    ModulePath.assign(2, 0);
    ModulePath[1] = At(ReplyData, FirstModuleEntry);
    if (!Send({Command::Module, PathByte(1), Command::ListModules}, ModuleListReply)) return false;
    ModulePath.resize(3);
    ModulePath[2] = At(ReplyData, FirstModuleEntry);
    if (!Send({Command::Module, PathByte(1), PathByte(2), Command::ListModules}, ModuleListReply)) return false;
    FillModuleList();
    return true;
}

bool SelectModule(const std::string& moduleHex)
{
    const uint8_t module = HexPairValue(PadToWidth(moduleHex, 2));
    if (PathAddressing())
        Send({Command::Module, PathByte(1), PathByte(2), module}, AckCode::Selected);
    else
        Send({Command::Module, 0x00, module}, AckCode::Selected);
    return true;
}

}  // namespace UpsLink
