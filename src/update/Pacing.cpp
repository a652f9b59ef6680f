#include "Pacing.h"

#include "link/Protocol.h"

namespace UpsLink {

std::chrono::milliseconds PacedUpdateTime(std::size_t records, bool reselect)
{
    const milliseconds command = PauseAfterWrite + PollInterval + PauseBeforeRead;
    const milliseconds record = PauseBeforeRecord + command * (reselect ? 2 : 1);
    return record * static_cast<long>(records) + command;
}

}  // namespace UpsLink
