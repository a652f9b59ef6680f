#pragma once

#include <type_traits>
#include <utility>

#include "Seams.h"
#include "common/Fault.h"

namespace UpsLink {

// The body of a procedure that traps faults: a fault it raises becomes the procedure's report
// line on the status board, and the procedure gives its failure value (false, 0, or nothing).
template <class Body>
auto Trapped(Mark mark, Body&& body) -> std::invoke_result_t<Body>
{
    try {
        return std::forward<Body>(body)();
    } catch (const Fault& fault) {
        frmMain().AddToBoard(FaultLine(fault, mark));
        if constexpr (!std::is_void_v<std::invoke_result_t<Body>>) return {};
    }
}

}  // namespace UpsLink
