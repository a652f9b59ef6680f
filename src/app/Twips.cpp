#include "Twips.h"

#include <QApplication>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

namespace UpsLink {

namespace {

// The forms' texts were fitted to a font whose letters are 6 pixels wide on average (over the
// alphabet, upper and lower case) and whose line is 13 pixels high.
constexpr double LayoutLetterWidth = 6.0, LayoutLineHeight = 13.0;

double PixelsPerTwip()
{
    const QFontMetricsF font(QApplication::font());
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const double letter = font.horizontalAdvance(alphabet) / static_cast<double>(alphabet.size());
    return std::max({1.0, letter / LayoutLetterWidth, font.height() / LayoutLineHeight}) / 15.0;
}

}  // namespace

int Twips(int twips)
{
    return static_cast<int>(std::lround(twips * PixelsPerTwip()));
}

QRect TwipsRect(int left, int top, int width, int height)
{
    return {Twips(left), Twips(top), Twips(width), Twips(height)};
}

}  // namespace UpsLink
