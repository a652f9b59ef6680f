// The identification walk over any ReplyData: it must never read out of bounds, it must accept
// exactly the blocks long enough by their absolute positions, and what it keeps must match them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/Fault.h"
#include "link/Globals.h"
#include "ups/Globals.h"
#include "ups/Identification.h"

using namespace UpsLink;

namespace {

struct Expected {
    int faultNumber = 0;  // 0: accepted
    std::array<float, 6> versions{};
    int configBlockLength = 0;
};

// The version as its text reads in the C locale.
float VersionOf(uint8_t major, uint8_t minor)
{
    const std::string text = std::to_string(major >> 4) + std::to_string(major & 15) + "." +
                             std::to_string(minor >> 4) + std::to_string(minor & 15);
    return static_cast<float>(std::strtod(text.c_str(), nullptr));
}

// The block by its absolute positions: N at 0, the entries at 2k - 1 and 2k, the rating at 2N + 1,
// T two (or four, after a zero rating) further, and so on to the trailing field at V + 11.
Expected ByPositions(const std::vector<uint8_t>& d)
{
    Expected e;
    const long long size = static_cast<long long>(d.size());
    auto has = [&](long long position) { return position < size; };
    if (!has(0)) return {9};
    const long long n = d[0];
    for (long long k = 1; k <= n; ++k) {
        if (!has(2 * k)) return {9, e.versions};
        if (n - k + 1 <= 5) e.versions[static_cast<std::size_t>(n - k + 1)] = VersionOf(d[2 * k], d[2 * k - 1]);
    }
    if (!has(2 * n + 1)) return {9, e.versions};
    const long long shift = d[2 * n + 1] == 0 ? 2 : 0;
    const long long t = 2 * n + 4 + shift;
    if (!has(t)) return {9, e.versions};
    const long long p = t + 1 + d[t];
    if (!has(p)) return {9, e.versions};
    const long long q = p + d[p] + 1;
    if (!has(q)) return {9, e.versions};
    const long long low = q + d[q];
    if (!has(low + 1)) return {9, e.versions};
    e.configBlockLength = d[low] + 256 * d[low + 1];
    if (e.configBlockLength > 32767) return {6, e.versions};
    const long long r = low + 2;
    if (!has(r)) return {9, e.versions, e.configBlockLength};
    const long long v = r + d[r] + 1;
    if (!has(v + 11)) return {9, e.versions, e.configBlockLength};
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size)
{
    ReplyData.assign(bytes, bytes + size);
    CpuVersion.fill(0.0F);
    ConfigBlockLength = 0;
    int faultNumber = 0;
    try {
        WalkIdentificationBlock();
    } catch (const Fault& fault) {
        faultNumber = fault.Number;
    }

    const Expected expected = ByPositions(ReplyData);
    if (faultNumber != expected.faultNumber) std::abort();
    for (std::size_t i = 1; i <= 5; ++i)
        if (CpuVersion[i] != expected.versions[i]) std::abort();
    if (faultNumber != 6 && ConfigBlockLength != expected.configBlockLength) std::abort();
    return 0;
}
