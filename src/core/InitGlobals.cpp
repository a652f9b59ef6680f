#include "InitGlobals.h"

#include "config/Globals.h"
#include "link/Globals.h"
#include "ups/Globals.h"

namespace UpsLink {

void InitGlobals()
{
    InitLinkGlobals();
    InitUpsGlobals();
    InitConfigGlobals();
}

}  // namespace UpsLink
