#include "ScriptedUnit.h"

namespace UpsLink {

std::vector<Emission> ScriptedUnit::Receive(const std::vector<uint8_t>& bytes, double nowMs)
{
    log_.push_back({nowMs, bytes});
    std::vector<Emission> answer = always_;
    if (!script_.empty()) {
        answer = std::move(script_.front());
        script_.pop_front();
    }
    for (Emission& emission : answer) emission.AtMs += nowMs;
    return answer;
}

}  // namespace UpsLink
