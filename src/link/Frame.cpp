#include "Frame.h"

#include "Globals.h"
#include "Protocol.h"
#include "common/Fault.h"

namespace UpsLink {

uint8_t Checksum(const uint8_t* bytes, std::size_t count)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
    return static_cast<uint8_t>(256 - sum % 256);
}

std::vector<uint8_t> BuildFrame(int payloadLength, const std::vector<uint8_t>& data)
{
    // The length travels in one byte; a length that does not fit must not wrap into a wrong frame.
    if (payloadLength < 0 || payloadLength > MaxFramePayload) throw Fault(FaultNo::Overflow);
    std::vector<uint8_t> frame(static_cast<std::size_t>(payloadLength) + 3);
    frame[0] = StartMarker;
    frame[1] = static_cast<uint8_t>(payloadLength);
    for (int i = 0; i < payloadLength; ++i) frame[static_cast<std::size_t>(i) + 2] = At(data, i);
    frame.back() = Checksum(frame.data(), frame.size() - 1);
    return frame;
}

bool ParseReply()
{
    ReplyData.assign(1, 0);
    std::size_t p = 0;
    int previousBlock = 0;
    bool lastBlock = false;
    bool firstBlock = true;
    auto byteAt = [](std::size_t position, uint8_t& out) {
        if (position >= RxBuffer.size()) return false;
        out = RxBuffer[position];
        return true;
    };

    while (!lastBlock) {
        uint8_t marker = 0;
        uint8_t type = 0;
        uint8_t length = 0;
        uint8_t sequence = 0;
        if (!byteAt(p, marker) || marker != StartMarker) return false;
        if (!byteAt(p + 1, type)) return false;
        if (!byteAt(p + 2, length) || length == 0 || length > MaxBlockData) return false;

        // Further blocks are appended whole after the data already held.
        const std::size_t dataStart = firstBlock ? 0 : ReplyData.size();
        ReplyData.resize(dataStart + length);
        firstBlock = false;

        if (!byteAt(p + 3, sequence)) return false;
        if (sequence & LastBlockBit) lastBlock = true;
        const int blockNumber = sequence & BlockNumberBits;
        if (blockNumber != previousBlock + 1) return false;
        previousBlock = blockNumber;

        for (std::size_t i = 0; i < length; ++i) {
            uint8_t value = 0;
            if (!byteAt(p + 4 + i, value)) return false;
            ReplyData[dataStart + i] = value;
        }
        uint8_t checksum = 0;
        if (!byteAt(p + 4 + length, checksum) || checksum != Checksum(&RxBuffer[p], 4u + length)) return false;
        p += length + 5u;
    }
    return true;
}

}  // namespace UpsLink
