#pragma once

#include <deque>

#include "Unit.h"

namespace UpsLink {

// A unit whose answers a test writes down in advance: the n-th write gets the n-th answer,
// offset from the moment the write arrived. Writes beyond the script get silence.
class ScriptedUnit : public Unit {
public:
    struct Received {
        double AtMs;
        std::vector<uint8_t> Bytes;
    };

    // Answer the next write with these emissions (times relative to the write's arrival).
    void Then(std::vector<Emission> answer) { script_.push_back(std::move(answer)); }
    void ThenSilence() { script_.emplace_back(); }
    void Always(std::vector<Emission> answer) { always_ = std::move(answer); }

    std::vector<Emission> Receive(const std::vector<uint8_t>& bytes, double nowMs) override;

    const std::vector<Received>& Log() const { return log_; }

private:
    std::deque<std::vector<Emission>> script_;
    std::vector<Emission> always_;
    std::vector<Received> log_;
};

}  // namespace UpsLink
