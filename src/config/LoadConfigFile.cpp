#include "LoadConfigFile.h"

#include "ConfigFile.h"
#include "Globals.h"
#include "common/AppTitle.h"
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

FileVerdict LoadConfigFile(int upsType)
{
    Shell& window = frmMain();
    window.BoardClear();
    ShowCaption(AppTitle);
    if (!ChooseConfigFile()) return {};

    VerdictSteps steps;
    steps.BeforeParse = [&window] { window.Repaint(); };
    steps.OnRecordShown = [](int shownRecord) {
        ShowCaption(std::string(AppTitle) + " Loading..." + std::to_string(shownRecord));
    };
    FileVerdict verdict =
        JudgeConfigFile(ConfigFile, ConfigFileTitle, upsType, FileImage, RecordNumbers, RecordData, steps);
    CloseConfigFile();
    for (const Refusal& refusal : verdict.Shown) {
        if (refusal.InBox)
            ShowFileBox(refusal.Text);
        else
            window.AddToBoard(refusal.Text);
    }
    return verdict;
}

}  // namespace UpsLink
