#pragma once

#include <QRect>

namespace UpsLink {

// Form layouts are given in twips, 15 to the pixel at the size of font the forms were laid out
// for; with a larger font every form is drawn larger in proportion, so that no text is cut.
int Twips(int twips);
QRect TwipsRect(int left, int top, int width, int height);

}  // namespace UpsLink
