#include "RecordingShell.h"

#include <stdexcept>

namespace UpsLink::Testing {

template <class Answer>
std::optional<Answer> ScriptedAnswers::Take(const char* asked)
{
    if (Queue.empty()) return std::nullopt;
    const Answer* answer = std::get_if<Answer>(&Queue.front());
    if (!answer) throw std::logic_error(std::string(asked) + " where the script expects another question");
    const Answer given = *answer;
    Queue.pop_front();
    return given;
}

MsgAnswer ScriptedAnswers::Box(const MessageRequest& request)
{
    Messages.push_back(request);
    const bool first = request.DefaultButton == 0;
    const MsgAnswer byDefault = request.Buttons == MsgButtons::OkOnly ? MsgAnswer::Ok
                                : request.Buttons == MsgButtons::OkCancel ? (first ? MsgAnswer::Ok : MsgAnswer::Cancel)
                                                                          : (first ? MsgAnswer::Yes : MsgAnswer::No);
    return Take<MsgAnswer>(("a message box \"" + request.Text + "\"").c_str()).value_or(byDefault);
}

std::string ScriptedAnswers::File() { return Take<std::string>("a file dialog").value_or(""); }

}  // namespace UpsLink::Testing
