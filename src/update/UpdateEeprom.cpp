#include "UpdateEeprom.h"

#include "ConfigWrite.h"
#include "common/AppTitle.h"
#include "common/EscapedFault.h"
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

// The window disabled for the whole update, given back with the port reset and the normal
// pointer however the update ends.
class UpdateHold {
public:
    UpdateHold() { frmMain().SetEnabled(false); }
    ~UpdateHold()
    {
        ResetPort();
        frmMain().SetEnabled(true);
        frmMain().SetBusyPointer(false);
    }
    UpdateHold(const UpdateHold&) = delete;
    UpdateHold& operator=(const UpdateHold&) = delete;
};

UpdateOutcome Ended(UpdateEnd end)
{
    UpdateOutcome outcome;
    outcome.End = end;
    return outcome;
}

// SelectedModule (decimal text) in hexadecimal, as the module select takes it.
std::string SelectedModuleHex()
{
    const double number = RoundedNumber(SelectedModule);
    if (number < 0) throw Fault(FaultNo::InvalidCall);
    return HexText(static_cast<uint64_t>(number));
}

// Writes the records in file order from run.From; stops at the first one not acknowledged, at a
// fault, or when asked to.
UpdateOutcome WriteRecords(UpdateRun& run)
{
    Shell& window = frmMain();
    UpdateOutcome outcome = Ended(UpdateEnd::Complete);
    for (std::size_t i = run.From; i < run.Total; ++i) {
        if (run.Stop && run.Stop()) {
            outcome.End = UpdateEnd::Stopped;
            break;
        }
        const int number = At(RecordNumbers, static_cast<long long>(i));
        std::string refusal;
        try {
            if (window.ModuleEnabled()) SelectModule(SelectedModuleHex());
            Sleep(PauseBeforeRecord);
            if (!WriteConfigRecord(std::to_string(number), At(RecordData, static_cast<long long>(i))))
                refusal = "Error updating #" + std::to_string(number);
        } catch (const Fault& fault) {
            refusal = FaultText(fault);
        }
        if (!refusal.empty()) {
            outcome.End = UpdateEnd::RecordFailed;
            outcome.Record = number;
            outcome.Line = refusal;
            window.AddToBoard(refusal);
            break;
        }
        run.Next = i + 1;
        window.SetProgress(static_cast<int>(i * 100 / run.Total));
        window.Repaint();
    }
    return outcome;
}

UpdateOutcome LoadConfirmAndWrite(UpdateRun& run)
{
    Shell& window = frmMain();
    if (!Connected) {
        window.AddToBoard("Link Down");
        return {};
    }
    const FileVerdict verdict = LoadConfigFile(UpsType);
    if (!verdict.Taken) {
        UpdateOutcome refused = Ended(UpdateEnd::FileRefused);
        if (!verdict.Shown.empty()) refused.Line = verdict.Shown.front().Text;
        // A title is left only by a file that failed to open.
        if (!ConfigFileTitle.empty()) {
            refused.Line = "Error Loading File";
            window.AddToBoard(refused.Line);
        }
        return refused;
    }
    window.SetCaption(std::string(AppTitle) + "   " + ShownFileTitle);
    run.Total = RecordNumbers.size();
    if (run.From >= run.Total) {
        window.SetCaption(AppTitle);
        return Ended(UpdateEnd::FromPastEnd);
    }

    MessageRequest confirm;
    confirm.Text = "Update EEPROM settings?";
    confirm.Title = "Update";
    confirm.Buttons = MsgButtons::OkCancel;
    confirm.Icon = MsgIcon::None;
    confirm.DefaultButton = 0;
    if (window.MessageBox(confirm) != MsgAnswer::Ok) {
        window.SetCaption(AppTitle);
        return Ended(UpdateEnd::Declined);
    }

    window.SetBusyPointer(true);
    window.SetProgressVisible(true);
    window.AddToBoard("Updating configuration...");
    UpdateOutcome outcome = WriteRecords(run);
    FinishConfigUpdate();
    window.AddToBoard(outcome.End == UpdateEnd::Complete ? "Configuration update complete" : "Configuration update Error");
    return outcome;
}

}  // namespace

UpdateOutcome UpdateEeprom()
{
    UpdateRun everyRecord;
    return UpdateEeprom(everyRecord);
}

UpdateOutcome UpdateEeprom(UpdateRun& run)
{
    Shell& window = frmMain();
    UpdateOutcome outcome;
    {
        const UpdateHold hold;
        try {
            window.BoardClear();
            run.Next = run.From;
            run.Total = 0;
            outcome = LoadConfirmAndWrite(run);
        } catch (...) {
            outcome.End = UpdateEnd::Fault;
            outcome.Line = EscapedFaultLine();
        }
    }
    if (outcome.End == UpdateEnd::Fault) window.AddToBoard(outcome.Line);
    window.SetProgressVisible(false);
    outcome.Written = run.Next - run.From;
    outcome.Total = run.Total;
    outcome.Next = run.Next;
    return outcome;
}

}  // namespace UpsLink
