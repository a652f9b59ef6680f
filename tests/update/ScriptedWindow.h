#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "Main.h"
#include "frmMain.h"

namespace UpsLink::Testing {

// The real main window with a test's answers to its message boxes and its file dialog.
// Unscripted boxes are answered with OK, an unscripted dialog is cancelled.
class ScriptedWindow : public ::frmMain {
public:
    ScriptedWindow() : ::frmMain(nullptr)
    {
        EndProcess = [] {};
    }

    MsgAnswer MessageBox(const MessageRequest& request) override
    {
        Messages.push_back(request);
        if (MessageAnswers.empty()) return MsgAnswer::Ok;
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
};

// Starts the program with a scripted main window; empty when start-up failed.
inline std::unique_ptr<ScriptedWindow> StartScripted(Port& port, Clock& clock)
{
    auto shown = Main(port, clock, [] { return std::make_unique<ScriptedWindow>(); });
    return std::unique_ptr<ScriptedWindow>(static_cast<ScriptedWindow*>(shown.release()));
}

}  // namespace UpsLink::Testing
