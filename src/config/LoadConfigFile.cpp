#include "LoadConfigFile.h"

#include "ConfigFile.h"
#include "RecordParser.h"
#include "common/Fault.h"
#include "common/Globals.h"
#include "platform/Seams.h"

namespace UpsLink {

namespace {

constexpr int ParserMark = 36;

// A caption is set only when its text changes: a long file would otherwise retitle the window
// once per character.
void ShowCaption(const std::string& caption)
{
    if (frmMain().Caption() != caption) frmMain().SetCaption(caption);
}

}  // namespace

bool LoadConfigFile()
{
    Shell& window = frmMain();
    window.BoardClear();
    ShowCaption(AppTitle);
    if (!ChooseConfigFile()) return false;

    const std::string text = ReadConfigFile();
    bool loaded = false;
    if (!text.empty()) {
        window.Repaint();
        const ParseOutcome outcome = ParseRecords(text, RecordNumbers, RecordData, [](int shownRecord) {
            ShowCaption(std::string(AppTitle) + " Loading..." + std::to_string(shownRecord));
        });
        if (outcome.StoppedBy) {
            MessageRequest box;
            box.Text = FaultLine(*outcome.StoppedBy, " ", ParserMark);
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
