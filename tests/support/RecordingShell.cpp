#include "RecordingShell.h"

#include <stdexcept>

namespace UpsLink::Testing {

MsgAnswer ScriptedAnswers::Box(const MessageRequest& request)
{
    Messages.push_back(request);
    if (Queue.empty()) {
        const bool first = request.DefaultButton == 0;
        switch (request.Buttons) {
        case MsgButtons::OkOnly: return MsgAnswer::Ok;
        case MsgButtons::OkCancel: return first ? MsgAnswer::Ok : MsgAnswer::Cancel;
        case MsgButtons::YesNo: return first ? MsgAnswer::Yes : MsgAnswer::No;
        }
    }
    const auto* answer = std::get_if<MsgAnswer>(&Queue.front());
    if (!answer) throw std::logic_error("a message box \"" + request.Text + "\" where the script expects a file");
    const MsgAnswer given = *answer;
    Queue.pop_front();
    return given;
}

std::string ScriptedAnswers::File()
{
    if (Queue.empty()) return {};
    const auto* path = std::get_if<std::string>(&Queue.front());
    if (!path) throw std::logic_error("a file dialog where the script expects a message box");
    std::string given = *path;
    Queue.pop_front();
    return given;
}

}  // namespace UpsLink::Testing
