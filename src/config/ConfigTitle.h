#pragma once

#include <string>
#include <string_view>

namespace UpsLink {

// The name of a file without its folder (on Windows, also without its drive).
std::string FileTitle(const std::string& path);

// A configuration file belongs to the type its title begins with, read as a decimal number
// without its fraction; a title without a number belongs to type 0.
bool TitleMatchesType(std::string_view title, int upsType);

}  // namespace UpsLink
