#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Shell.h"

namespace UpsLink::Testing {

// The real main window with a test's answers to its message boxes and its file dialog: every
// other call goes to the window itself. Unscripted boxes are answered with their default button,
// an unscripted dialog is cancelled.
class ScriptedAnswers : public Shell {
public:
    explicit ScriptedAnswers(Shell& window) : window_(window) {}

    void AddToBoard(const std::string& message) override { window_.AddToBoard(message); }
    void BoardClear() override { window_.BoardClear(); }
    void Repaint() override { window_.Repaint(); }
    void SetEnabled(bool enabled) override { window_.SetEnabled(enabled); }
    bool Enabled() const override { return window_.Enabled(); }
    void SetCaption(const std::string& caption) override { window_.SetCaption(caption); }
    std::string Caption() const override { return window_.Caption(); }
    void SetModuleEnabled(bool enabled) override { window_.SetModuleEnabled(enabled); }
    bool ModuleEnabled() const override { return window_.ModuleEnabled(); }
    void SetBusyPointer(bool busy) override { window_.SetBusyPointer(busy); }
    void SetPortLabel(const std::string& text) override { window_.SetPortLabel(text); }
    void SetPortLabelStruck(bool struck) override { window_.SetPortLabelStruck(struck); }
    bool PortLabelStruck() const override { return window_.PortLabelStruck(); }
    void ShowConnected(bool connected) override { window_.ShowConnected(connected); }
    void SetProgressVisible(bool visible) override { window_.SetProgressVisible(visible); }
    void SetProgress(int value) override { window_.SetProgress(value); }
    void HelpQuit() override { window_.HelpQuit(); }

    MsgAnswer MessageBox(const MessageRequest& request) override
    {
        Messages.push_back(request);
        if (MessageAnswers.empty()) return DefaultAnswer(request);
        const MsgAnswer answer = MessageAnswers.front();
        MessageAnswers.pop_front();
        return answer;
    }
    std::string ChooseOpenFile(const OpenFileRequest&) override
    {
        if (FileAnswers.empty()) return {};
        std::string path = FileAnswers.front();
        FileAnswers.pop_front();
        return path;
    }

    std::deque<MsgAnswer> MessageAnswers;
    std::vector<MessageRequest> Messages;
    std::deque<std::string> FileAnswers;

private:
    static MsgAnswer DefaultAnswer(const MessageRequest& request)
    {
        switch (request.Buttons) {
            case MsgButtons::OkCancel: return request.DefaultButton == 0 ? MsgAnswer::Ok : MsgAnswer::Cancel;
            case MsgButtons::YesNo: return request.DefaultButton == 0 ? MsgAnswer::Yes : MsgAnswer::No;
            case MsgButtons::OkOnly: break;
        }
        return MsgAnswer::Ok;
    }

    Shell& window_;
};

}  // namespace UpsLink::Testing
