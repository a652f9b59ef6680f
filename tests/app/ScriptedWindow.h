#pragma once

#include <gtest/gtest.h>

#include <QTimer>
#include <numeric>

#include "Application.h"
#include "Bench.h"
#include "Blocks.h"
#include "frmMain.h"
#include "frmSMSelect.h"
#include "link/Globals.h"
#include "link/PortControl.h"

// QString in failure messages as its text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace UpsLink::Testing {

using Lines = std::vector<std::string>;

// The frames of a connect to a UPS whose type is accepted.
inline const Bytes ConnectFrames =
    Hex("AB 01 FF 55 AB 01 40 14 AB 04 CF 5A C3 17 4E AB 01 A0 B4 AB 01 36 1E AB 04 FF 06 08 62 E2 AB 01 40 14");

// Frames end to end, as they cross the line.
inline Bytes Joined(const std::vector<Bytes>& frames, std::size_t first = 0)
{
    return std::accumulate(frames.begin() + long(first), frames.end(), Bytes{},
                           [](Bytes joined, const Bytes& frame) { return joined + frame; });
}

// The real main window with the test's answers to its boxes and file dialog; each end of the
// process is only recorded, with whether the port was still open then.
struct ScriptedWindow : ::frmMain {
    explicit ScriptedWindow(LineFile* boardLog = nullptr, LineFile* wireTrace = nullptr) : ::frmMain(boardLog, wireTrace)
    {
        EndProcess = [this] { Ends.push_back(MSComm1().PortOpen()); };
    }
    MsgAnswer MessageBox(const MessageRequest& request) override { return Answers.Box(request); }
    std::string ChooseOpenFile(const OpenFileRequest&) override { return Answers.File(); }
    ScriptedAnswers Answers;
    std::vector<bool> Ends;
};

// While it lives, hands every modal window to act inside that window's own event loop; act must
// close it, or it is handed over again.
struct OnModal : QTimer {
    explicit OnModal(const std::function<void(QWidget&)>& act)
    {
        callOnTimeout([act] {
            if (QWidget* modal = QApplication::activeModalWidget()) act(*modal);
        });
        start(5);
    }
};

// The Module button, module number chosen in the dialog and applied, its warning answered Yes.
inline void SwitchToModule(ScriptedWindow& window, const QString& number)
{
    window.Answers.Queue = {MsgAnswer::Yes};
    OnModal modal([number](QWidget& shown) {
        auto& dialog = dynamic_cast<frmSMSelect&>(shown);
        dialog.cmbSM->setCurrentText(number);
        dialog.cmdApply->click();
        dialog.cmdExit->click();
    });
    window.cmdSM->click();
}

// The program's own application object, made at set-up so that listing the tests needs no display.
struct WidgetsEnvironment : ::testing::Environment {
    void SetUp() override { app = std::make_unique<Application>(argc, argv); }
    void TearDown() override { app.reset(); }
    int argc = 1;
    char name[6] = "tests", *argv[2] = {name, nullptr};
    std::unique_ptr<Application> app;
};
inline const auto* const widgetsEnvironment = ::testing::AddGlobalTestEnvironment(new WidgetsEnvironment);

}  // namespace UpsLink::Testing
