#pragma once

namespace UpsLink {

// The main window's caption and the title of the program's message boxes.
constexpr const char* AppTitle = "Zentrel";

}  // namespace UpsLink
