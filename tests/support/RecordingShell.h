#pragma once

#include <deque>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Shell.h"

namespace UpsLink::Testing {

// Answers for message boxes (a button) and file dialogs (a path, "" to cancel), in the order the
// program will ask. Asked with nothing left, a box answers with its default button and a dialog
// is cancelled; asked for the other kind than the script holds, it throws, so a test cannot pass
// on a question the program should not have asked.
struct ScriptedAnswers {
    std::deque<std::variant<MsgAnswer, std::string>> Queue;
    std::vector<MessageRequest> Messages;

    MsgAnswer Box(const MessageRequest& request);
    std::string File();

private:
    template <class Answer>
    std::optional<Answer> Take(const char* asked);
};

// The main window as the logic sees it, recorded.
class RecordingShell : public Shell {
public:
    void AddToBoard(const std::string& message) override { Board.push_back(message); }
    void BoardClear() override { Board.clear(); }
    void Repaint() override {}
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
    void SetProgress(int value) override { Progress.push_back(value); }
    MsgAnswer MessageBox(const MessageRequest& request) override { return Answers.Box(request); }
    std::string ChooseOpenFile(const OpenFileRequest&) override { return Answers.File(); }
    void HelpQuit() override {}

    std::vector<std::string> Board;
    bool FormEnabled = true;
    std::string CaptionText = "Zentrel";
    bool ModuleButtonEnabled = true;
    bool Busy = false;
    std::string PortLabel;
    bool PortLabelStruckOut = false;
    bool IndicatorConnected = false;
    bool ProgressVisible = false;
    std::vector<int> Progress;
    ScriptedAnswers Answers;
};

}  // namespace UpsLink::Testing
