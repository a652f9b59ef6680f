#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "UpsModel.h"
#include "link/Frame.h"
#include "link/Protocol.h"
#include "ups/Identification.h"

// What the UPS connection tests put on and read off the simulated cable.
namespace UpsLink {

using Payloads = std::vector<std::vector<uint8_t>>;

const std::vector<uint8_t> Access{0xCF, AccessCode[0], AccessCode[1], AccessCode[2]};
// A connect to a unit whose type is accepted, and to one whose type is refused.
const Payloads FullConnect{{0xFF}, {0x40}, Access, {0xA0}, {0x36}, {0xFF, 0x06, 0x08, 0x62}, {0x40}};
const Payloads RefusedConnect{{0xFF}, {0x40}, Access, {0xA0}, {0x36}, {0x40}};

// Byte strings and payload lists joined end to end.
template <class T>
std::vector<T> operator+(std::vector<T> head, const std::vector<T>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// The payloads from the first-th on.
inline Payloads Since(const Payloads& all, std::size_t first)
{
    return {all.begin() + static_cast<std::ptrdiff_t>(first), all.end()};
}

// One last block of the given type carrying data, answered 20 ms after the frame arrived.
inline std::vector<Emission> Answer(uint8_t type, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> block{StartMarker, type, static_cast<uint8_t>(data.size()), 0x81};
    block.insert(block.end(), data.begin(), data.end());
    block.push_back(Checksum(block.data(), block.size()));
    return {{20, block}};
}

// The payloads of the frames the program wrote, in order.
template <class Port>
Payloads WrittenPayloads(const Port& port)
{
    Payloads payloads;
    for (const auto& write : port.Writes()) payloads.emplace_back(write.Bytes.begin() + 2, write.Bytes.end() - 1);
    return payloads;
}

// The model, with a look at the program's state whenever a frame arrives.
struct WatchedModel : UpsModel {
    std::vector<Emission> Receive(const std::vector<uint8_t>& bytes, double nowMs) override
    {
        if (OnFrame) OnFrame();
        return UpsModel::Receive(bytes, nowMs);
    }
    std::function<void()> OnFrame;
};

}  // namespace UpsLink
