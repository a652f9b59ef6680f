#pragma once

#include <string>

#include "Fault.h"

namespace UpsLink {

// Called inside a catch block: the exception in flight as a fault. A Fault stays as it is; running
// out of memory is 7; anything else is 51, an internal error.
Fault EscapedFault();
// Its report line: the number, a blank and the description.
std::string EscapedFaultLine();

}  // namespace UpsLink
