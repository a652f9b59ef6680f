#pragma once

#include <QMainWindow>
#include <functional>
#include <string>
#include <vector>

#include "CommandHold.h"
#include "platform/Shell.h"

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;

namespace UpsLink {
class LineFile;
}

// The program's one main window: four command buttons, the port label with the connection
// indicator, the progress bar, the menus and the status board. It is the Shell the logic talks
// to (installed by start-up). The controls are public, as on a classic form, so that the code
// behind each command can reach them and the tests can find them; each carries its name as its
// object name.
//
// Not in a namespace, and without a default constructor: inside its members "frmMain()" must not
// quietly build a second window where UpsLink::frmMain() (the installed Shell) was meant.
class frmMain : public QMainWindow, public UpsLink::Shell {
    Q_OBJECT

public:
    // boardLog, when given, receives every board line with its date and time, and an empty line
    // for every clear of the board (zentrel --log). wireTrace is the --trace file, written by the
    // port; the window tells when a line of either could not be written.
    explicit frmMain(UpsLink::LineFile* boardLog, UpsLink::LineFile* wireTrace = nullptr);
    ~frmMain() override;

    // Shell.
    void AddToBoard(const std::string& message) override;
    void BoardClear() override;
    void Repaint() override;
    void SetEnabled(bool enabled) override;
    bool Enabled() const override;
    void SetCaption(const std::string& caption) override;
    std::string Caption() const override;
    void SetModuleEnabled(bool enabled) override;
    bool ModuleEnabled() const override;
    void SetBusyPointer(bool busy) override;
    void SetPortLabel(const std::string& text) override;
    void SetPortLabelStruck(bool struck) override;
    bool PortLabelStruck() const override;
    void ShowConnected(bool connected) override;
    void SetProgressVisible(bool visible) override;
    void SetProgress(int value) override;
    UpsLink::MsgAnswer MessageBox(const UpsLink::MessageRequest& request) override;
    std::string ChooseOpenFile(const UpsLink::OpenFileRequest& request) override;
    void HelpQuit() override;

    // The status board's lines, top to bottom.
    std::vector<std::string> BoardLines() const;

    // Window events.
    void Form_Load();
    void Form_Unload();
    void Form_Terminate();

    void setVisible(bool visible) override;

    // The last step of the shutdown sequence: leaves the event loop with ExitStatus, so that the
    // program ends through main and every file is flushed and closed. Tests replace it.
    std::function<void()> EndProcess;
    int ExitStatus = 0;

    // Controls, named as on the form.
    QLabel* imgNotConnected;
    QLabel* imgConnected;
    QLabel* lblSettings;
    QProgressBar* ProgressBar1;
    QPushButton* cmdPortSettings;
    QPushButton* cmdConnect;
    QPushButton* cmdSM;
    QPushButton* cmdBattComm;
    QListWidget* List1;
    QFrame* Line2;
    QFrame* Line1;

    // Menus and their items.
    QMenu* FileMenu;
    QAction* mnuSettings;
    QAction* mnuExitOption;
    QMenu* mnuUPS;
    QAction* mnuConnect;
    QAction* mnuDisconnect;
    QAction* mnuUpdateERM;
    QMenu* HelpMenu;
    QAction* HelpTopics;
    QAction* AboutOption;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void CreateMenus();
    void mnuExitOption_Click();
    void cmdBattComm_Click();
    void cmdPortSettings_Click();
    void mnuSettings_Click();
    void HelpTopics_Click();
    void AboutOption_Click();
    // A box for each file that lost a line since the last one was told, once the command ends.
    void ShowWriteFailures();

    UpsLink::LineFile* boardLog_;
    UpsLink::LineFile* wireTrace_;
    // The window is disabled for exactly as long as one of its commands runs.
    UpsLink::CommandHold commands_{this, [this] { ShowWriteFailures(); }};
    bool unloading_ = false;
    bool placed_ = false;
};
