#include "ConfigTitle.h"

#include <cmath>
#include <filesystem>

#include "common/Text.h"

namespace UpsLink {

std::string FileTitle(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

bool TitleMatchesType(std::string_view title, int upsType)
{
    return std::floor(NumericPrefix(title)) == upsType;
}

}  // namespace UpsLink
