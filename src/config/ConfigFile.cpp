#include "ConfigFile.h"

#include <filesystem>

#include "ConfigTitle.h"
#include "Globals.h"
#include "common/AppTitle.h"
#include "common/Fault.h"
#include "common/FilePath.h"
#include "platform/Seams.h"

namespace UpsLink {

std::ifstream ConfigFile;

namespace {

constexpr int16_t FreeFileNumber = 1;

void OpenForReading(const std::string& name)
{
    const std::filesystem::path path = FilePath(name);
    std::error_code error;
    if (!std::filesystem::exists(path, error)) throw Fault(FaultNo::FileNotFound);
    ConfigFile.clear();
    // A folder opens and then fails on its first read, with "Path/File access error"; Windows
    // refuses to open one at all, so the read fails here without it, the same on every system.
    if (std::filesystem::is_directory(path, error)) {
        ConfigFile.setstate(std::ios::badbit);
        return;
    }
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
        ShowFileBox(FaultText(fault));
        return false;
    }
}

void ShowFileBox(const std::string& text)
{
    MessageRequest box;
    box.Text = text;
    box.Title = AppTitle;
    box.Buttons = MsgButtons::OkOnly;
    frmMain().MessageBox(box);
}

void CloseConfigFile()
{
    if (ConfigFileNumber <= 0) return;
    if (ConfigFile.is_open()) ConfigFile.close();
    ConfigFileNumber = 0;
    ConfigFileTitle.clear();
}

}  // namespace UpsLink
