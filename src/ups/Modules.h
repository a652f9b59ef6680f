#pragma once

#include <string>

namespace UpsLink {

// Asks the UPS for its modules, directly or along the module path, and fills ModuleList (and
// ModulePath). True when every request of the chain was answered. Traps no faults.
bool DiscoverModules();
// Switches the link to the module whose number moduleHex gives in hexadecimal. True whenever no
// fault occurs, whatever the unit answered. Traps no faults.
bool SelectModule(const std::string& moduleHex);

}  // namespace UpsLink
