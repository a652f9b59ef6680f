#include "UpdateEeprom.h"

#include <optional>

#include "ConfigWrite.h"
#include "common/AppTitle.h"
#include "common/Fault.h"
#include "common/Text.h"
#include "config/Globals.h"
#include "config/LoadConfigFile.h"
#include "link/Globals.h"
#include "link/PortControl.h"
#include "link/Protocol.h"
#include "platform/Seams.h"
#include "ups/Globals.h"
#include "ups/Modules.h"

namespace UpsLink {

namespace {

// SelectedModule (decimal text) in hexadecimal, as the module select takes it.
std::string SelectedModuleHex()
{
    const double number = RoundedNumber(SelectedModule);
    if (number < 0) throw Fault(FaultNo::InvalidCall);
    return HexText(static_cast<uint64_t>(number));
}

// Writes the records in file order from run.From; stops at the first one not acknowledged, at a
// fault, or when asked to.
bool WriteRecords(UpdateRun& run)
{
    Shell& window = frmMain();
    bool success = false;
    const std::size_t count = RecordNumbers.size();
    for (std::size_t i = run.From; i < count; ++i) {
        if (run.Stop && run.Stop()) return false;
        try {
            if (window.ModuleEnabled()) SelectModule(SelectedModuleHex());
            Sleep(PauseBeforeRecord);
            const int number = At(RecordNumbers, static_cast<long long>(i));
            if (!WriteConfigRecord(std::to_string(number), At(RecordData, static_cast<long long>(i)))) {
                window.AddToBoard("Error updating #" + std::to_string(number));
                return false;
            }
        } catch (const Fault& fault) {
            window.AddToBoard(FaultText(fault));
            return false;
        }
        success = true;
        run.Next = i + 1;
        window.SetProgress(static_cast<int>(i * 100 / count));
        window.Repaint();
    }
    return success;
}

void LoadConfirmAndWrite(UpdateRun& run)
{
    Shell& window = frmMain();
    if (!Connected) {
        window.AddToBoard("Link Down");
        return;
    }
    if (!LoadConfigFile(UpsType)) {
        // A title is left only by a file that failed to open.
        if (!ConfigFileTitle.empty()) window.AddToBoard("Error Loading File");
        return;
    }
    window.SetCaption(std::string(AppTitle) + "   " + ShownFileTitle);

    MessageRequest confirm;
    confirm.Text = "Update EEPROM settings?";
    confirm.Title = "Update";
    confirm.Buttons = MsgButtons::OkCancel;
    confirm.Icon = MsgIcon::None;
    confirm.DefaultButton = 0;
    if (window.MessageBox(confirm) != MsgAnswer::Ok) {
        window.SetCaption(AppTitle);
        return;
    }

    window.SetBusyPointer(true);
    window.SetProgressVisible(true);
    window.AddToBoard("Updating configuration...");
    const bool written = WriteRecords(run);
    FinishConfigUpdate();
    window.AddToBoard(written ? "Configuration update complete" : "Configuration update Error");
}

}  // namespace

void UpdateEeprom()
{
    UpdateRun everyRecord;
    UpdateEeprom(everyRecord);
}

void UpdateEeprom(UpdateRun& run)
{
    Shell& window = frmMain();
    window.SetEnabled(false);
    std::optional<Fault> pending;
    try {
        window.BoardClear();
        run.Next = run.From;
        LoadConfirmAndWrite(run);
    } catch (const Fault& fault) {
        pending = fault;
    }
    ResetPort();
    window.SetEnabled(true);
    window.SetBusyPointer(false);
    if (pending) window.AddToBoard(FaultText(*pending));
    window.SetProgressVisible(false);
}

}  // namespace UpsLink
