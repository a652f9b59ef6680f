#pragma once

#include <QIcon>
#include <QPixmap>

namespace UpsLink {

// The 16 x 16 connection indicator: a green disc when connected, a red one otherwise, each with a
// white highlight.
QPixmap IndicatorPixmap(bool connected);
// The window's 16 x 16 icon: a lightning bolt on a battery.
QIcon WindowIcon();

}  // namespace UpsLink
