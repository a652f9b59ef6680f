#pragma once

#include <utility>

#include "common/EscapedFault.h"
#include "platform/Seams.h"

namespace UpsLink {

// The last catch of an event handler: whatever escapes it becomes its fault line on the board,
// so that no exception crosses Qt's own frames; the scope guards have given the window back on
// the way out.
template <class Action>
void Handled(Action&& action) noexcept
{
    try {
        std::forward<Action>(action)();
    } catch (...) {
        try {
            frmMain().AddToBoard(EscapedFaultLine());
        } catch (...) {
            // Nothing is left to report it with; the window stays usable.
        }
    }
}

// A slot that runs action as a Handled event handler.
template <class Action>
auto HandledSlot(Action action)
{
    return [action = std::move(action)] { Handled(action); };
}

}  // namespace UpsLink
