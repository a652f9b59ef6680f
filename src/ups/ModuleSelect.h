#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace UpsLink {

// The module select dialog's load without its widgets: "Determining Modules Supported...", the
// discovery, "No modules detected" when its chain is not answered, "Done". Gives the modules the
// dialog lists (those below 255, none when the unit reports more than 65), in reply order.
// cleared runs before the discovery. A fault is reported with mark 15 and gives nothing.
std::optional<std::vector<int16_t>> DetermineModules(const std::function<void()>& cleared);

// How a module switch ended: the warning declined, the switch's own fault, or the connect that
// follows the switch.
enum class SwitchEnd { Fault, Declined, NotAccepted, Accepted };

// The dialog's Apply for the chosen module text: clears the board, asks the module warning and,
// on Yes, switches the link to the module and connects to it. A fault is reported with mark 14.
SwitchEnd ApplyModuleSelect(const std::string& chosen);

}  // namespace UpsLink
