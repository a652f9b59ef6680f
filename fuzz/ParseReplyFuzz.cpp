// ParseReply over any receive buffer: it must never read or write out of bounds, and what it
// accepts must be exactly a chain of well-formed blocks ending in a last block.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "link/Globals.h"
#include "link/Frame.h"

using namespace UpsLink;

namespace {

// The data of a well-formed reply at the start of the buffer, walked independently; false when
// the buffer holds none.
bool WalkReply(std::vector<uint8_t>& data)
{
    std::size_t p = 0;
    for (int block = 1;; ++block) {
        if (p + 4 >= RxBufferSize || RxBuffer[p] != 0xAB) return false;
        const std::size_t length = RxBuffer[p + 2];
        const uint8_t sequence = RxBuffer[p + 3];
        if (length == 0 || length > 140 || (sequence & 0x7F) != block || p + 4 + length >= RxBufferSize) return false;
        unsigned sum = 0;
        for (std::size_t i = p; i <= p + 4 + length; ++i) sum += RxBuffer[i];
        if (sum % 256 != 0) return false;
        data.insert(data.end(), RxBuffer.begin() + static_cast<long>(p + 4),
                    RxBuffer.begin() + static_cast<long>(p + 4 + length));
        if (sequence & 0x80) return true;
        p += length + 5;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size)
{
    RxBuffer.fill(0);
    for (std::size_t i = 0; i < size && i < RxBufferSize; ++i) RxBuffer[i] = bytes[i];

    const bool accepted = ParseReply();

    std::vector<uint8_t> walked;
    const bool wellFormed = WalkReply(walked);
    if (accepted != wellFormed) std::abort();
    if (accepted && ReplyData != walked) std::abort();
    if (ReplyData.empty() || ReplyData.size() > RxBufferSize) std::abort();
    return 0;
}
