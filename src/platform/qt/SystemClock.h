#pragma once

#include "platform/Clock.h"

namespace UpsLink {

// The machine's clock, local time. A pause blocks the command that asked for it for exactly its
// length, but the program stays alive meanwhile: the event loop goes on painting, answering the
// desktop and the accessibility bus, and taking signals, while user input that arrives during the
// pause is thrown away rather than delivered when the command is over.
class SystemClock : public Clock {
public:
    double Timer() override;
    void Sleep(int milliseconds) override;
};

// Throws away the user input waiting in the event queue: called as a command ends, so that
// nothing typed or clicked during it acts afterwards.
void DiscardPendingInput();

}  // namespace UpsLink
