// The real main window offscreen, on the virtual clock against the simulated unit: its texts, its
// commands and dialogs, its shutdown and start-up.
#include <QAction>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

#include "Main.h"
#include "ScriptedWindow.h"
#include "common/Fault.h"
#include "platform/LineFile.h"

namespace UpsLink::Testing {

const Lines ConnectLines{"Connecting...", "UPS Found", "Done"}, DisconnectLines{"Disconnecting...", "Complete"};
const Bytes Bye = Hex("AB 01 FF 55");

struct WindowBench : SimBench<UpsModel, ScriptedWindow> {
    WindowBench() { OpenPort(), shell.show(); }
    QWidget* Indicator() { return shell.centralWidget()->childAt(shell.imgConnected->geometry().center()); }
};

// Checked while the about box is open over the window, so its labels are the window's too.
TEST(MainWindow, TextsOfTheControlsMenusAndAboutBox)
{
    WindowBench b;
    const struct { const char *name, *property, *value; } texts[] = {
        {"cmdPortSettings", "text", "Port"}, {"cmdPortSettings", "toolTip", "Change Baud Rate or COM port"},
        {"cmdConnect", "text", "Connect"}, {"cmdConnect", "toolTip", "Establish Communication with UPS"},
        {"cmdSM", "text", "Module"}, {"cmdSM", "toolTip", "Select UPS Module"}, {"cmdBattComm", "text", "Update"},
        {"cmdBattComm", "toolTip", "Update UPS configuration from a File"}, {"ProgressBar1", "visible", "false"},
        {"imgConnected", "toolTip", "Toggles Port"}, {"imgNotConnected", "toolTip", "Toggles Port"},
        {"lblSettings", "toolTip", "Shows COM port, Baud Rate, Parity, Data bits, Stop Bit"},
        {"FileMenu", "title", "&File"}, {"mnuSettings", "text", "&Properties"}, {"mnuExitOption", "text", "E&xit"},
        {"mnuUPS", "title", "&UPS"}, {"mnuConnect", "text", "&Connect"}, {"mnuDisconnect", "text", "&Disconect"},
        {"mnuUpdateERM", "text", "&Update EEPROM"}, {"HelpMenu", "title", "&Help"},
        {"HelpTopics", "text", "&Help Topics"}, {"AboutOption", "text", "&About Zentrel"},
        {"frmAbout", "windowTitle", "About "}, {"Label1", "text", "For service use only"},
        {"lblDescription", "text",
         "The Zentrel updates configuration information of the UPS or one of the attached module."},
        {"lblVersion", "text", "Version " ZENTREL_VERSION}, {"lblAuthor", "text", "Made for UPS service engineers"}};
    int checked = 0;
    OnModal modal([&](QWidget& about) {
        for (const auto& t : texts) {
            const QObject* object = b.shell.findChild<QObject*>(t.name);
            EXPECT_EQ(object ? object->property(t.property).toString() : "", t.value) << t.name << " " << t.property;
            ++checked;
        }
        about.findChild<QPushButton*>("cmdOK")->click();
    });
    b.shell.AboutOption->trigger();
    EXPECT_EQ(std::tuple(checked, b.shell.windowTitle()), std::tuple(int(std::size(texts)), "Zentrel"));
}

TEST(MainWindow, ConnectionCommandsInTurn)
{
    WindowBench b;
    ScriptedWindow& w = b.shell;
    using Command = std::function<void()>;
    const Command button = [&] { w.cmdConnect->click(); }, connect = [&] { w.mnuConnect->trigger(); },
                  disconnect = [&] { w.mnuDisconnect->trigger(); }, module = [&] { w.cmdSM->click(); };
    const Lines earlier{"earlier"};
    OnModal unexpected([](QWidget& dialog) { ADD_FAILURE() << "a dialog opened", dialog.close(); });
    // reopens: every disconnect reopens the port.
    const struct { const char* name; Command run; bool struck, enabled; Lines board; bool up; Bytes sent; int reopens; }
        steps[] = {{"Connect, port label struck through: nothing", button, true, true, earlier, false, {}, 0},
                   {"Module, not connected", module, false, true, {"Link Down"}, false, {}, 0},
                   {"Connect", button, false, true, ConnectLines, true, ConnectFrames, 0},
                   {"menu Connect disconnects first", connect, false, true, ConnectLines, true, Bye + ConnectFrames, 1},
                   {"Connect while connected disconnects", button, false, true, DisconnectLines, false, Bye, 1},
                   {"menu Disconect, not connected: nothing", disconnect, false, true, earlier, false, {}, 0},
                   {"menu Connect ignores the struck label", connect, true, true, ConnectLines, true, ConnectFrames, 0},
                   {"menu Disconect", disconnect, false, true, DisconnectLines, false, Bye, 1},
                   {"menu Connect, window disabled: nothing", connect, false, false, earlier, false, {}, 0}};
    for (const auto& s : steps) {
        w.SetPortLabelStruck(s.struck), w.SetEnabled(s.enabled), w.BoardClear(), w.AddToBoard("earlier");
        const std::size_t sent = b.port.Frames().size(), opens = b.port.OpenCount();
        s.run();
        EXPECT_EQ(std::tuple(w.BoardLines(), Joined(b.port.Frames(), sent), b.port.OpenCount() - opens, Connected),
                  std::tuple(s.board, s.sent, s.reopens, s.up)) << s.name;
        EXPECT_EQ(std::tuple(w.cmdConnect->text(), b.Indicator(), w.isEnabled(), QApplication::overrideCursor()),
                  std::tuple(s.up ? "Disconnect" : "Connect", s.up ? w.imgConnected : w.imgNotConnected, s.enabled,
                             nullptr)) << s.name;
    }
}

// The dialog lists the unit's modules; its warning answered No sends nothing more, Yes selects
// the module and reconnects to it, leaving Apply disabled.
TEST(MainWindow, ModuleButtonWarnsBeforeSelectingAModule)
{
    WindowBench b;
    b.unit.Config().Modules = {5, 2};
    b.shell.cmdConnect->click();
    const Bytes list = Hex("AB 03 CE 00 FF 85"), select = Hex("AB 03 CE 00 02 82");
    const struct { MsgAnswer answer; Bytes sent; Lines board; int module; QString apply; } cases[] = {
        {MsgAnswer::No, list, {}, 0, "Apply"},
        {MsgAnswer::Yes, list + select + ConnectFrames, {"Connecting...", "Module 2 Found", "Done"}, 2, ""}};
    for (const auto& c : cases) {
        b.shell.Answers = {{c.answer}, {}};
        const std::size_t sent = b.port.Frames().size();
        QStringList items;
        OnModal modal([&](QWidget& shown) {
            auto& dialog = dynamic_cast<frmSMSelect&>(shown);
            for (int i = 0; i < dialog.cmbSM->count(); ++i) items << dialog.cmbSM->itemText(i);
            dialog.cmbSM->setCurrentText("2");
            dialog.cmdApply->click();
            items << (dialog.cmdApply->isEnabled() ? "Apply" : "");
            dialog.cmdExit->click();
        });
        b.shell.cmdSM->click();
        const MessageRequest box = b.shell.Answers.Messages.at(0);
        EXPECT_EQ(std::tuple(box.Title, box.Text, box.Buttons, box.DefaultButton, box.Icon),
                  std::tuple("Update Configuration", "WARNING: You are about to switch to MODULE 2\r\n\r\nContinue? ",
                             MsgButtons::YesNo, 1, MsgIcon::Exclamation));
        EXPECT_EQ(std::tuple(items, Joined(b.port.Frames(), sent), b.shell.BoardLines(), b.unit.SelectedModule()),
                  std::tuple(QStringList{"5", "2", c.apply}, c.sent, c.board, c.module));
    }
}

// A box that is not numeric keeps the focus and reopens nothing; a valid Apply forgets the
// connection without a word to the unit and reopens the port as typed.
// The list shows what the unit reports, up to 65 modules and never module 255.
TEST(ModuleSelect, LoadListsTheModulesByTheListRules)
{
    const auto range = [](int count) {
        Bytes modules(static_cast<std::size_t>(count));
        std::iota(modules.begin(), modules.end(), 0);
        return modules;
    };
    const std::tuple<Bytes, int, std::string> cases[] = {  // modules, items listed, current item
        {{2, 255, 7}, 2, "2"}, {range(65), 65, "0"}, {range(66), 0, ""}};
    for (const auto& [modules, items, current] : cases) {
        WindowBench b;
        b.unit.Config().Modules = modules;
        frmSMSelect dialog;
        dialog.Form_Load();
        EXPECT_EQ(dialog.cmbSM->count(), items) << modules.size();
        EXPECT_EQ(dialog.cmbSM->currentText().toStdString(), current) << modules.size();
        EXPECT_EQ(dialog.cmdApply->isEnabled(), items > 0) << modules.size();
    }
}

TEST(MainWindow, SettingsApplyChecksBothBoxesThenReopensThePort)
{
    WindowBench b;
    b.port.SetDevices({1, 2});
    const struct { QString com, baud, focus; std::string portNumber, baudRate; QString label; } cases[] = {
        {"x", "9600", "txtCOM", "1", "19200", " COM1,19200,N,8,1"},
        {"2", "96k", "txtBaud", "1", "19200", " COM1,19200,N,8,1"},
        {"2", "9600", "cmdCancel", "2", "9600", " COM2,9600,N,8,1"}};
    for (const auto& c : cases) {
        b.shell.SetPortLabel("stale"), Connected = true;
        const int opens = b.port.OpenCount();
        QString shown;  // the label as the dialog opens, then where the focus is after Apply
        OnModal modal([&](QWidget& dialog) {
            shown = b.shell.lblSettings->text();
            dialog.findChild<QLineEdit*>("txtCOM")->setText(c.com);
            dialog.findChild<QLineEdit*>("txtBaud")->setText(c.baud);
            dialog.findChild<QPushButton*>("cmdApply")->click();
            shown += " " + dialog.focusWidget()->objectName() + (dialog.isVisible() ? "" : " closed");
            dialog.close();
        });
        b.shell.cmdPortSettings->click();
        const bool applied = c.portNumber == "2";
        EXPECT_EQ(std::tuple(shown, PortNumber, BaudRate, b.shell.lblSettings->text(), b.port.OpenCount() - opens),
                  std::tuple(" COM1,19200,N,8,1 " + c.focus, c.portNumber, c.baudRate, c.label, int(applied)));
        EXPECT_EQ(std::tuple(Connected, b.port.Frames().size()), std::tuple(!applied, 0u));
    }
}

// However the window is closed: the disconnect goes out while the port is open, an open settings
// dialog is unloaded, the port is closed, and only then does the process end, once.
TEST(MainWindow, ShutdownDisconnectsClosesThePortThenEndsOnce)
{
    using Route = std::function<void(ScriptedWindow&)>;
    for (const Route& route : {Route([](ScriptedWindow& w) { w.close(); }), Route(&ScriptedWindow::Form_Terminate),
                               Route([](ScriptedWindow& w) { w.mnuExitOption->trigger(); })}) {
        WindowBench b;
        b.shell.cmdConnect->click();
        const std::size_t sent = b.port.Frames().size();
        bool dialogOpen = true;
        OnModal modal([&](QWidget& settings) { route(b.shell), dialogOpen = settings.isVisible(), settings.close(); });
        b.shell.cmdPortSettings->click();
        b.shell.close();
        // From the disconnect's frame to the end: its 500 ms after the write, then the 50 ms pause at shutdown.
        EXPECT_EQ(std::tuple(dialogOpen, b.shell.isVisible(), Joined(b.port.Frames(), sent), b.shell.BoardLines(),
                             b.shell.Ends, b.clock.NowMs() - b.port.WriteTimes().back()),
                  std::tuple(false, false, Bye, DisconnectLines, std::vector<bool>{false}, 550.0));
    }
}

// A line of the board log or of the wire trace that cannot be written does not stop the command;
// once it has ended, a box names the file and the reason, once for each file.
TEST(MainWindow, LostRecordLinesToldInABoxOnceTheCommandHasEnded)
{
    const std::string full = "/dev/full", kept = ::testing::TempDir() + "zentrel-window-board.log";
    const std::string logLost = "Zentrel: cannot write log file /dev/full: No space left on device [OK]",
                      traceLost = "Zentrel: cannot write trace file /dev/full: No space left on device [OK]";
    const struct { std::string log, trace; Lines boxes; } cases[] = {
        {full, "", {logLost}}, {"", full, {traceLost}}, {full, full, {logLost, traceLost}}, {kept, "", {}}};
    for (const auto& c : cases) {
        std::string refusal;
        const auto log = c.log.empty() ? nullptr : LineFile::OpenNamed(c.log, "log", refusal);
        const auto trace = c.trace.empty() ? nullptr : LineFile::OpenNamed(c.trace, "trace", refusal);
        VirtualClock clock(12 * 3600.0);
        UpsModel unit;
        SimPort port(clock, unit);
        if (trace) TraceWire(port, *trace);
        ScriptedWindow w(log.get(), trace.get());
        InstalledSeams seams(port, clock, w);
        OpenPort();
        w.cmdConnect->click();
        const std::size_t boxesInCommand = w.Answers.Messages.size();
        QCoreApplication::processEvents();
        w.cmdConnect->click();
        QCoreApplication::processEvents();
        Lines boxes;
        for (const MessageRequest& box : w.Answers.Messages)
            boxes.push_back(box.Title + ": " + box.Text + (box.Buttons == MsgButtons::OkOnly ? " [OK]" : ""));
        EXPECT_EQ(std::tuple(boxesInCommand, boxes, w.BoardLines(), Connected),
                  std::tuple(0u, c.boxes, DisconnectLines, false)) << c.log << " " << c.trace;
    }
    std::remove(kept.c_str());
}

// Start-up shows the window, or one box "N Start: description 1" (none for 8012) and no window.
TEST(StartUp, ShowsTheWindowOrOneBoxAndNoWindow)
{
    const struct { int fault; QString box; } cases[] = {
        {0, ""}, {FaultNo::TypeMismatch, "Zentrel: 13 Start: Type mismatch 1 [OK]"}, {FaultNo::DeviceNotOpen, ""},
        {FaultNo::Overflow, "Zentrel: 6 Start: Overflow 1 [OK]"}};
    for (const auto& c : cases) {
        SimBench<> b;
        QString boxes;
        OnModal modal([&](QWidget& shown) {
            auto& box = dynamic_cast<QMessageBox&>(shown);
            boxes += box.windowTitle() + ": " + box.text() + (box.standardButtons() == QMessageBox::Ok ? " [OK]" : "");
            box.buttons().front()->click();
        });
        const auto window = Main(b.port, b.clock, [&]() -> std::unique_ptr<::frmMain> {
            if (c.fault) throw Fault(c.fault);
            return std::make_unique<ScriptedWindow>();
        });
        const bool shown = window && window->isVisible() && &UpsLink::frmMain() == window.get();
        EXPECT_EQ(std::tuple(shown, shown ? window->lblSettings->text() : "", boxes, b.port.OpenCount()),
                  std::tuple(!c.fault, c.fault ? "" : " COM1,19200,N,8,1", c.box, int(!c.fault))) << c.fault;
    }
}

}  // namespace UpsLink::Testing
