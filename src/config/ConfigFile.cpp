#include "ConfigFile.h"

#include <filesystem>

#include "ConfigTitle.h"
#include "FileImage.h"
#include "Globals.h"
#include "Scrambling.h"
#include "common/AppTitle.h"
#include "common/Fault.h"
#include "platform/Seams.h"

namespace UpsLink {

std::ifstream ConfigFile;

namespace {

constexpr int16_t FreeFileNumber = 1;

// The file failures of the loader: code, blank, description, in a box titled like the window.
void ShowFileFault(const Fault& fault)
{
    MessageRequest box;
    box.Text = FaultText(fault);
    box.Title = AppTitle;
    box.Buttons = MsgButtons::OkOnly;
    frmMain().MessageBox(box);
}

void OpenForReading(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error)) throw Fault(FaultNo::FileNotFound);
    ConfigFile.clear();
    ConfigFile.open(path, std::ios::in | std::ios::binary);
    if (!ConfigFile.is_open()) throw Fault(FaultNo::PermissionDenied);
}

}  // namespace

bool ChooseConfigFile()
{
    // Clears a stale title and handle left by an earlier failed open; does nothing otherwise.
    CloseConfigFile();

    OpenFileRequest dialog;
    dialog.Title = "Open";
    dialog.HideReadOnly = true;
    dialog.Filter = "All Files (*.*)|*.*|Zentrel Files (*.pp)|*.pp";
    dialog.FilterIndex = 2;
    dialog.DefaultExt = "ee";
    const std::string path = frmMain().ChooseOpenFile(dialog);
    if (path.empty()) return false;

    ConfigFileTitle = FileTitle(path);
    ShownFileTitle = ConfigFileTitle;
    try {
        ConfigFileNumber = FreeFileNumber;
        // By its full path: the dialog does not change the current folder.
        OpenForReading(path);
        return true;
    } catch (const Fault& fault) {
        ShowFileFault(fault);
        return false;
    }
}

std::string ReadConfigFile(int upsType)
{
    std::string text;
    if (!TitleMatchesType(ConfigFileTitle, upsType)) {
        frmMain().AddToBoard("File does not match UPS type");
        CloseConfigFile();
        return text;
    }
    if (LoadFileImage() && !FileImage.empty()) text = Descramble(FileImage, FileKey);
    CloseConfigFile();
    return text;
}

bool LoadFileImage()
{
    try {
        if (ReadImage(ConfigFile, FileImage)) return true;
        frmMain().AddToBoard("File size exceeds 32k limit");
    } catch (const Fault& fault) {
        ShowFileFault(fault);
    }
    return false;
}

void CloseConfigFile()
{
    if (ConfigFileNumber <= 0) return;
    if (ConfigFile.is_open()) ConfigFile.close();
    ConfigFileNumber = 0;
    ConfigFileTitle.clear();
}

}  // namespace UpsLink
