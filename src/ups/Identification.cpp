#include "Identification.h"

#include <charconv>

#include "Globals.h"
#include "common/Fault.h"
#include "link/Globals.h"
#include "link/PortControl.h"
#include "link/Protocol.h"
#include "link/Transaction.h"
#include "platform/Seams.h"
#include "platform/Trapped.h"

namespace UpsLink {

namespace {

constexpr int MaxStoredVersions = 5;

// The version text major.minor read digit by digit, with "." as the decimal point whatever the locale.
float VersionNumber(uint8_t major, uint8_t minor)
{
    const std::string text = HighDigit(major) + LowDigit(major) + "." + HighDigit(minor) + LowDigit(minor);
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return static_cast<float>(value);
}

}  // namespace

std::string HighDigit(uint8_t b)
{
    return std::to_string(b / 16);
}

std::string LowDigit(uint8_t b)
{
    return std::to_string(b % 16);
}

bool RequestIdentification()
{
    Send({Command::Access, AccessCode[0], AccessCode[1], AccessCode[2]}, 0);
    Sleep(PauseAfterAccess);
    return Send({Command::Identification}, BlockType::Identification);
}

bool RequestTypeBlock()
{
    return Send({Command::TypeCode}, BlockType::TypeCode);
}

void WalkIdentificationBlock()
{
    long long x = 0;
    const int count = At(ReplyData, x);
    for (int remaining = count; remaining >= 1; --remaining) {
        ++x;
        const uint8_t minor = At(ReplyData, x);
        const uint8_t major = At(ReplyData, x + 1);
        ++x;
        // The first entry belongs to the highest processor number; entries beyond five are dropped.
        if (remaining <= MaxStoredVersions)
            CpuVersion[static_cast<std::size_t>(remaining)] = VersionNumber(major, minor);
    }
    ++x;
    const uint8_t rating = At(ReplyData, x);
    if (rating == 0) x += 2;  // the extended rating is stepped over
    x += 3;
    x += At(ReplyData, x);  // the text
    ++x;
    x += At(ReplyData, x);  // the meter map
    ++x;
    x += At(ReplyData, x);  // the alarm map
    // The length's low byte is the last alarm-map byte's position, not the one after it.
    ConfigBlockLength = ToInt16(At(ReplyData, x) + 256LL * At(ReplyData, x + 1));
    x += 2;
    const int statistics = At(ReplyData, x);
    ++x;
    for (int i = 0; i < statistics; ++i) At(ReplyData, x++);
    for (int offset : {0, 2, 4, 6, 7, 9, 11}) At(ReplyData, x + offset);
}

bool ReadIdentification()
{
    return Trapped(Mark::ReadIdentification, [] {
        CpuVersion.fill(0.0F);
        FlushPort();
        if (!RequestIdentification()) return false;
        WalkIdentificationBlock();
        return true;
    });
}

int32_t ReadUpsType()
{
    return Trapped(Mark::ReadUpsType, []() -> int32_t {
        ConfigBlockLength = 0;
        FlushPort();
        if (!ReadIdentification()) return 0;
        if (!RequestTypeBlock()) return 0;
        if (ConfigBlockLength == 0) return 0;
        return At(ReplyData, 0) + 256 * At(ReplyData, 1);
    });
}

}  // namespace UpsLink
