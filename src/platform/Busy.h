#pragma once

#include "Seams.h"

namespace UpsLink {

// The busy wrapper around a command: hourglass and a disabled window for its life, both restored
// however the command ends.
class Busy {
public:
    Busy()
    {
        frmMain().SetBusyPointer(true);
        frmMain().SetEnabled(false);
    }
    ~Busy()
    {
        frmMain().SetEnabled(true);
        frmMain().SetBusyPointer(false);
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

}  // namespace UpsLink
