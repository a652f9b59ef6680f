#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Shell.h"

namespace UpsLink {

// The main window as the logic sees it, recorded for tests; message box and file dialog answers
// are scripted in advance (an unscripted message box answers with its default button, an
// unscripted file dialog is cancelled).
class RecordingShell : public Shell {
public:
    void AddToBoard(const std::string& message) override { Board.push_back(message); }
    void BoardClear() override
    {
        Board.clear();
        ++Clears;
    }
    void Repaint() override { ++Repaints; }

    void SetEnabled(bool enabled) override { FormEnabled = enabled; }
    bool Enabled() const override { return FormEnabled; }
    void SetCaption(const std::string& caption) override { CaptionText = caption; }
    std::string Caption() const override { return CaptionText; }
    void SetModuleEnabled(bool enabled) override { ModuleButtonEnabled = enabled; }
    bool ModuleEnabled() const override { return ModuleButtonEnabled; }
    void SetBusyPointer(bool busy) override { Busy = busy; }

    void SetPortLabel(const std::string& text) override { PortLabel = text; }
    void SetPortLabelStruck(bool struck) override { PortLabelStruckOut = struck; }
    bool PortLabelStruck() const override { return PortLabelStruckOut; }
    void ShowConnected(bool connected) override { IndicatorConnected = connected; }

    void SetProgressVisible(bool visible) override { ProgressVisible = visible; }
    void SetProgress(int value) override { ProgressValues.push_back(value); }

    MsgAnswer MessageBox(const MessageRequest& request) override;
    std::string ChooseOpenFile(const OpenFileRequest& request) override;
    void HelpQuit() override { ++HelpQuits; }

    std::vector<std::string> Board;
    int Clears = 0;
    int Repaints = 0;
    bool FormEnabled = true;
    std::string CaptionText = "Zentrel";
    bool ModuleButtonEnabled = true;
    bool Busy = false;
    std::string PortLabel;
    bool PortLabelStruckOut = false;
    bool IndicatorConnected = false;
    bool ProgressVisible = false;
    std::vector<int> ProgressValues;
    int HelpQuits = 0;

    std::deque<MsgAnswer> MessageAnswers;
    std::vector<MessageRequest> Messages;
    std::deque<std::string> FileAnswers;
    std::vector<OpenFileRequest> FileRequests;
};

}  // namespace UpsLink
