#include "TerminalShell.h"

#include <QJsonDocument>
#include <algorithm>
#include <cstdio>

#include "Terminal.h"
#include "platform/LineFile.h"
#include "platform/qt/StopRequest.h"
#include "update/UpdateEeprom.h"

namespace UpsLink {

namespace {

constexpr int BarWidth = 30;

std::string Clock(std::chrono::seconds time)
{
    const long long s = time.count();
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

}  // namespace

TerminalShell::TerminalShell(bool json, bool progressBar, LineFile* boardLog)
    : json_(json), progressBar_(progressBar && !json), boardLog_(boardLog)
{
}

void TerminalShell::AddToBoard(const std::string& message)
{
    if (boardLog_) LogBoardLine(*boardLog_, message);
    if (json_)
        Event({{"event", "board"}, {"text", QString::fromStdString(message)}});
    else
        Print(message);
}

void TerminalShell::BoardClear()
{
    if (boardLog_) LogBoardClear(*boardLog_);
}

void TerminalShell::Repaint() { std::fflush(stdout); }

void TerminalShell::SetProgressVisible(bool visible)
{
    if (visible && Run) {
        barFirst_ = Run->Next;
        barStart_ = std::chrono::steady_clock::now();
        barShown_ = progressBar_;
        DrawBar();
    } else if (!visible) {
        ClearBar();
        barShown_ = false;
    }
}

void TerminalShell::SetProgress(int)
{
    if (!Run) return;
    Event({{"event", "progress"}, {"record", static_cast<qint64>(Run->Next)}, {"of", static_cast<qint64>(Run->Total)}});
    DrawBar();
}

MsgAnswer TerminalShell::MessageBox(const MessageRequest& request)
{
    if (request.Buttons == MsgButtons::OkOnly) {
        ClearBar();
        std::fprintf(stderr, "zentrel-cli: %s\n", request.Text.c_str());
        return MsgAnswer::Ok;
    }
    if (Answer) return Answer(request);
    return request.Buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
}

void TerminalShell::Say(const std::string& line)
{
    if (json_)
        Event({{"event", "line"}, {"text", QString::fromStdString(line)}});
    else
        Print(line);
}

void TerminalShell::Event(const QJsonObject& object)
{
    if (json_) Print(QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString());
}

bool TerminalShell::TellWriteFailures()
{
    const std::vector<std::string> failures = LineFile::TakeWriteFailures({boardLog_, WireTrace});
    if (!failures.empty()) ClearBar();
    for (const std::string& failure : failures) std::fprintf(stderr, "zentrel-cli: %s\n", failure.c_str());
    return !failures.empty();
}

void TerminalShell::Print(const std::string& line)
{
    ClearBar();
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    DrawBar();
}

void TerminalShell::DrawBar()
{
    if (!barShown_ || !Run || Run->Total == 0) return;
    const std::size_t done = Run->Next;
    const std::size_t records = Run->Total;
    const int percent = static_cast<int>(done * 100 / records);
    const int filled = static_cast<int>(done * BarWidth / records);
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - barStart_);
    std::string left = "-:--:--";
    if (done > barFirst_)
        left = Clock(elapsed * static_cast<long>(records - done) / static_cast<long>(done - barFirst_));
    std::fprintf(stderr, "\r[%s%s] record %zu of %zu  %3d%%  elapsed %s  left %s", std::string(filled, '#').c_str(),
                 std::string(BarWidth - filled, ' ').c_str(), done, records, percent, Clock(elapsed).c_str(),
                 left.c_str());
    std::fflush(stderr);
}

void TerminalShell::ClearBar()
{
    if (!barShown_) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
}

bool AskYes(const std::string& question)
{
    std::fprintf(stderr, "%s [y/N] ", question.c_str());
    std::fflush(stderr);
    std::string answer = ReadAnswerLine();
    if (StopRequested()) std::fputc('\n', stderr);
    std::transform(answer.begin(), answer.end(), answer.begin(), [](unsigned char c) { return std::tolower(c); });
    return answer == "y" || answer == "yes";
}

}  // namespace UpsLink
