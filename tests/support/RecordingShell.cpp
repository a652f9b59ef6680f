#include "RecordingShell.h"

namespace UpsLink {

MsgAnswer RecordingShell::MessageBox(const MessageRequest& request)
{
    Messages.push_back(request);
    if (!MessageAnswers.empty()) {
        const MsgAnswer answer = MessageAnswers.front();
        MessageAnswers.pop_front();
        return answer;
    }
    switch (request.Buttons) {
    case MsgButtons::OkOnly: return MsgAnswer::Ok;
    case MsgButtons::OkCancel: return request.DefaultButton == 0 ? MsgAnswer::Ok : MsgAnswer::Cancel;
    case MsgButtons::YesNo: return request.DefaultButton == 0 ? MsgAnswer::Yes : MsgAnswer::No;
    }
    return MsgAnswer::Ok;
}

std::string RecordingShell::ChooseOpenFile(const OpenFileRequest& request)
{
    FileRequests.push_back(request);
    if (FileAnswers.empty()) return {};
    std::string path = FileAnswers.front();
    FileAnswers.pop_front();
    return path;
}

}  // namespace UpsLink
