#include "HelpTopics.h"

#include "platform/Seams.h"

namespace UpsLink {

void ShowHelpTopics()
{
    frmMain().MessageBox({"Coming Soon...", "Help", MsgButtons::OkOnly});
}

}  // namespace UpsLink
