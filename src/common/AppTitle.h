#pragma once

namespace UpsLink {

// The main window's caption and the title of the program's message boxes.
constexpr const char* AppTitle = "Zentrel";

// What every program's --version prints after its "NAME VERSION" line.
constexpr const char* LicenceNotice =
    "License GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

}  // namespace UpsLink
