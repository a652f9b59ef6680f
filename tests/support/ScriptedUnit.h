#pragma once

#include <deque>

#include "Unit.h"

namespace UpsLink::Testing {

// A unit whose answers a test writes down in advance: the n-th write gets the n-th answer (none
// is silence), its times counted from the moment the write arrived. Writes beyond the script get
// the standing answer, silence unless Always gave one.
class ScriptedUnit : public Unit {
public:
    void Then(std::vector<Emission> answer) { script_.push_back(std::move(answer)); }
    void Always(std::vector<Emission> answer) { always_ = std::move(answer); }

    std::vector<Emission> Receive(const std::vector<uint8_t>&, double nowMs) override
    {
        std::vector<Emission> answer = always_;
        if (!script_.empty()) {
            answer = std::move(script_.front());
            script_.pop_front();
        }
        for (Emission& emission : answer) emission.AtMs += nowMs;
        return answer;
    }

private:
    std::deque<std::vector<Emission>> script_;
    std::vector<Emission> always_;
};

}  // namespace UpsLink::Testing
