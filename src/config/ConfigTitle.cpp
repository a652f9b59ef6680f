#include "ConfigTitle.h"

#include <cmath>

#include "common/FilePath.h"
#include "common/Text.h"

namespace UpsLink {

std::string FileTitle(const std::string& path)
{
    return FileName(FilePath(path).filename());
}

bool TitleMatchesType(std::string_view title, int upsType)
{
    return std::floor(NumericPrefix(title)) == upsType;
}

}  // namespace UpsLink
