#pragma once

#include <deque>

#include "Unit.h"

namespace UpsLink::Testing {

// A unit whose answers a test writes down in advance: the n-th write gets the n-th answer, its
// times counted from the moment the write arrived. Writes beyond the script get silence.
class ScriptedUnit : public Unit {
public:
    void Then(std::vector<Emission> answer) { script_.push_back(std::move(answer)); }

    std::vector<Emission> Receive(const std::vector<uint8_t>&, double nowMs) override
    {
        if (script_.empty()) return {};
        std::vector<Emission> answer = std::move(script_.front());
        script_.pop_front();
        for (Emission& emission : answer) emission.AtMs += nowMs;
        return answer;
    }

private:
    std::deque<std::vector<Emission>> script_;
};

}  // namespace UpsLink::Testing
