#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

#include <QJsonObject>

#include "platform/Shell.h"

namespace UpsLink {

class LineFile;
struct UpdateRun;

// The Shell on a terminal: every status line goes to standard output as the window posts it (or
// as a JSON object with --json, its texts taken as UTF-8), and to the --log file as the window logs it; the progress of an
// update is a bar on standard error; a question is asked on standard error and answered from
// standard input.
class TerminalShell : public Shell {
public:
    TerminalShell(bool json, bool progressBar, LineFile* boardLog);

    void AddToBoard(const std::string& message) override;
    void BoardClear() override;
    void Repaint() override;
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    bool Enabled() const override { return enabled_; }
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    std::string Caption() const override { return caption_; }
    void SetModuleEnabled(bool enabled) override { moduleEnabled_ = enabled; }
    bool ModuleEnabled() const override { return moduleEnabled_; }
    void SetBusyPointer(bool) override {}
    void SetPortLabel(const std::string&) override {}
    void SetPortLabelStruck(bool struck) override { portStruck_ = struck; }
    bool PortLabelStruck() const override { return portStruck_; }
    void ShowConnected(bool) override {}
    void SetProgressVisible(bool visible) override;
    void SetProgress(int value) override;
    // A box with one button is told on standard error; any other is answered by Answer, and is
    // refused when there is none.
    MsgAnswer MessageBox(const MessageRequest& request) override;
    std::string ChooseOpenFile(const OpenFileRequest&) override { return File; }
    void HelpQuit() override {}

    // A line of the command line's own on standard output; with --json, {"event":"line","text":...}.
    void Say(const std::string& line);
    // One JSON line on standard output, in JSON mode only.
    void Event(const QJsonObject& object);
    bool Json() const { return json_; }
    // Says on standard error why a line of the --log or --trace file was lost, once for each;
    // true when one was.
    bool TellWriteFailures();

    std::string File;
    std::function<MsgAnswer(const MessageRequest&)> Answer;
    // The update whose records the progress counts.
    const UpdateRun* Run = nullptr;
    // The --trace file, written by the port.
    LineFile* WireTrace = nullptr;

private:
    void Print(const std::string& line);
    void DrawBar();
    void ClearBar();

    bool json_;
    bool progressBar_;
    LineFile* boardLog_;
    bool enabled_ = true;
    bool moduleEnabled_ = true;
    bool portStruck_ = false;
    std::string caption_;
    bool barShown_ = false;
    std::size_t barFirst_ = 0;
    std::chrono::steady_clock::time_point barStart_;
};

// Asks question on standard error with " [y/N] " and reads the answer from standard input; true
// only for y or yes. A stop request while waiting is a no.
bool AskYes(const std::string& question);

}  // namespace UpsLink
