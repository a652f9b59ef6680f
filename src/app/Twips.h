#pragma once

#include <QRect>

namespace UpsLink {

// Form layouts are given in twips; the screen has 15 twips to the pixel.
constexpr int Twips(int twips)
{
    return (twips + 7) / 15;
}

constexpr QRect TwipsRect(int left, int top, int width, int height)
{
    return {Twips(left), Twips(top), Twips(width), Twips(height)};
}

}  // namespace UpsLink
