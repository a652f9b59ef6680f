#include "LoadConfigFile.h"

#include "ConfigFile.h"
#include "Globals.h"
#include "RecordParser.h"
#include "common/AppTitle.h"
#include "common/Fault.h"
#include "platform/Seams.h"

namespace UpsLink {

namespace {

// A caption is set only when its text changes: a long file would otherwise retitle the window
// once per character.
void ShowCaption(const std::string& caption)
{
    if (frmMain().Caption() != caption) frmMain().SetCaption(caption);
}

}  // namespace

bool LoadConfigFile(int upsType)
{
    Shell& window = frmMain();
    window.BoardClear();
    ShowCaption(AppTitle);
    if (!ChooseConfigFile()) return false;

    const std::string text = ReadConfigFile(upsType);
    bool loaded = false;
    if (!text.empty()) {
        window.Repaint();
        const ParseOutcome outcome = ParseRecords(text, RecordNumbers, RecordData, [](int shownRecord) {
            ShowCaption(std::string(AppTitle) + " Loading..." + std::to_string(shownRecord));
        });
        if (outcome.StoppedBy) {
            MessageRequest box;
            box.Text = FaultLine(*outcome.StoppedBy, Mark::RecordParser);
            box.Title = AppTitle;
            box.Buttons = MsgButtons::OkOnly;
            window.MessageBox(box);
            return false;
        }
        loaded = outcome.Loaded;
    }
    if (!loaded) window.AddToBoard("File Corrupted");
    return loaded;
}

}  // namespace UpsLink
