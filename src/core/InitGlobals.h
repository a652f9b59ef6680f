#pragma once

namespace UpsLink {

// Gives every global of the link, the connection and the loader its start value; start-up and
// every test fixture call it, so no command or test sees another's state.
void InitGlobals();

}  // namespace UpsLink
