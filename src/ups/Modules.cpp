#include "Modules.h"

#include <cstdint>
#include <vector>

#include "common/Fault.h"
#include "common/Globals.h"
#include "common/Text.h"
#include "link/Transaction.h"

namespace UpsLink {

namespace {

constexpr uint8_t ModuleCommand = 0xCE;
constexpr uint8_t ListModules = 0xFF;
constexpr int ModuleListReply = 0x31;
constexpr int ModuleSelectReply = 9;
constexpr long long FirstEntryIndex = 3;

// A processor 4 means the modules sit behind hops and are reached along ModulePath.
bool PathAddressing()
{
    return CpuVersion[4] > 0;
}

bool Send(std::vector<uint8_t> payload, int expectedCode)
{
    CommandData = std::move(payload);
    return SendCommand(static_cast<int>(CommandData.size()), CommandData, expectedCode, false);
}

uint8_t PathByte(std::size_t index)
{
    return static_cast<uint8_t>(At(ModulePath, static_cast<long long>(index)));
}

void FillModuleList()
{
    const long long entries = static_cast<long long>(ReplyData.size()) - FirstEntryIndex;
    if (entries <= 0) throw Fault(FaultNo::SubscriptOutOfRange);
    ModuleList.assign(static_cast<std::size_t>(entries), 0);
    for (long long i = 0; i < entries; ++i)
        ModuleList[static_cast<std::size_t>(i)] = At(ReplyData, i + FirstEntryIndex);
}

}  // namespace

bool DiscoverModules()
{
    if (!PathAddressing()) {
        if (!Send({ModuleCommand, 0x00, ListModules}, ModuleListReply)) return false;
        FillModuleList();
        return true;
    }
    if (!Send({ModuleCommand, ListModules}, ModuleListReply)) return false;
    // The path is remade before its hop is read, so a reply too short for it never leaves an
    // older path in place for a later select.
    ModulePath.assign(2, 0);
    ModulePath[1] = At(ReplyData, FirstEntryIndex);
    if (!Send({ModuleCommand, PathByte(1), ListModules}, ModuleListReply)) return false;
    ModulePath.resize(3);
    ModulePath[2] = At(ReplyData, FirstEntryIndex);
    if (!Send({ModuleCommand, PathByte(1), PathByte(2), ListModules}, ModuleListReply)) return false;
    FillModuleList();
    return true;
}

bool SelectModule(const std::string& moduleHex)
{
    const uint8_t module = HexPairValue(PadToWidth(moduleHex, 2));
    if (PathAddressing())
        Send({ModuleCommand, PathByte(1), PathByte(2), module}, ModuleSelectReply);
    else
        Send({ModuleCommand, 0x00, module}, ModuleSelectReply);
    return true;
}

}  // namespace UpsLink
