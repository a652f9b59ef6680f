#include "frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "Dialogs.h"
#include "Handled.h"
#include "common/EscapedFault.h"
#include "HelpTopics.h"
#include "Icons.h"
#include "Twips.h"
#include "UpsCommands.h"
#include "common/AppTitle.h"
#include "common/Fault.h"
#include "frmAbout.h"
#include "frmSettings.h"
#include "link/Globals.h"
#include "link/Protocol.h"
#include "platform/LineFile.h"
#include "platform/Seams.h"
#include "platform/qt/FileNames.h"
#include "update/UpdateEeprom.h"
#include "ups/Connect.h"

using UpsLink::TwipsRect;

namespace {

// The desktop's colours for the window background and the dark half of the etched rule. Qt has
// no roles for the application workspace or an inactive title bar; the palette's mid and dark
// greys are what the desktop uses for the same purposes.
QColor AppWorkspaceColour() { return QApplication::palette().color(QPalette::Mid); }
QColor InactiveTitleBarColour() { return QApplication::palette().color(QPalette::Dark); }

QString FromLatin1(const std::string& text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }
std::string ToLatin1(const QString& text) { return text.toLatin1().toStdString(); }

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, QRect geometry, const char* tip)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeIndicator(QWidget* parent, const char* name, bool connected)
{
    auto* image = new QLabel(parent);
    image->setObjectName(name);
    image->setGeometry(TwipsRect(180, 120, 240, 240));
    image->setPixmap(UpsLink::IndicatorPixmap(connected));
    image->setToolTip("Toggles Port");
    return image;
}

QFrame* MakeLine(QWidget* parent, const char* name, int top, const QColor& colour)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setGeometry(0, top, UpsLink::Twips(4440) + 1, 1);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    return line;
}

QAction* MakeItem(QMenu* menu, const char* name, const char* caption)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    return item;
}

}  // namespace

frmMain::frmMain(UpsLink::LineFile* boardLog, UpsLink::LineFile* wireTrace)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                               Qt::MSWindowsFixedSizeDialogHint),
      EndProcess([this] { QCoreApplication::exit(ExitStatus); }),
      boardLog_(boardLog),
      wireTrace_(wireTrace)
{
    setObjectName("frmMain");
    setWindowTitle(UpsLink::AppTitle);
    setWindowIcon(UpsLink::WindowIcon());
    CreateControls();
    CreateMenus();
    // Fixed size: the client area under the menu bar, nothing more.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Each command's handler is connected here, next to the others, as its operation arrives.
    using UpsLink::HandledSlot;
    connect(mnuExitOption, &QAction::triggered, this, HandledSlot([this] { mnuExitOption_Click(); }));
    connect(cmdBattComm, &QPushButton::clicked, this, HandledSlot([this] { cmdBattComm_Click(); }));
    connect(cmdConnect, &QPushButton::clicked, this, HandledSlot(&UpsLink::OnConnectClick));
    connect(mnuConnect, &QAction::triggered, this, HandledSlot(&UpsLink::OnConnectMenu));
    connect(mnuDisconnect, &QAction::triggered, this, HandledSlot(&UpsLink::OnDisconnectMenu));
    connect(cmdSM, &QPushButton::clicked, this, HandledSlot(&UpsLink::OnModuleClick));
    connect(cmdPortSettings, &QPushButton::clicked, this, HandledSlot([this] { cmdPortSettings_Click(); }));
    connect(mnuSettings, &QAction::triggered, this, HandledSlot([this] { mnuSettings_Click(); }));
    connect(HelpTopics, &QAction::triggered, this, HandledSlot([this] { HelpTopics_Click(); }));
    connect(AboutOption, &QAction::triggered, this, HandledSlot([this] { AboutOption_Click(); }));

    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::CreateControls()
{
    auto* client = new QWidget(this);
    client->setObjectName("client");
    client->setFixedSize(UpsLink::Twips(4455), UpsLink::Twips(2490));
    client->setAutoFillBackground(true);
    QPalette workspace = client->palette();
    workspace.setColor(QPalette::Window, AppWorkspaceColour());
    client->setPalette(workspace);
    setCentralWidget(client);

    // Stacked bottom to top as on the form: the connected image starts in front.
    imgNotConnected = MakeIndicator(client, "imgNotConnected", false);
    imgConnected = MakeIndicator(client, "imgConnected", true);

    lblSettings = new QLabel(client);
    lblSettings->setObjectName("lblSettings");
    lblSettings->setGeometry(TwipsRect(720, 120, 3615, 255));
    lblSettings->setToolTip("Shows COM port, Baud Rate, Parity, Data bits, Stop Bit");

    ProgressBar1 = new QProgressBar(client);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setGeometry(TwipsRect(720, 120, 3615, 255));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    cmdPortSettings = MakeButton(client, "cmdPortSettings", "Port", TwipsRect(120, 480, 975, 375),
                                 "Change Baud Rate or COM port");
    cmdConnect = MakeButton(client, "cmdConnect", "Connect", TwipsRect(1200, 480, 975, 375),
                            "Establish Communication with UPS");
    cmdSM = MakeButton(client, "cmdSM", "Module", TwipsRect(2280, 480, 975, 375), "Select UPS Module");
    cmdBattComm = MakeButton(client, "cmdBattComm", "Update", TwipsRect(3360, 480, 975, 375),
                             "Update UPS configuration from a File");

    List1 = new QListWidget(client);
    List1->setObjectName("List1");
    List1->setGeometry(TwipsRect(120, 960, 4215, 1425));
    List1->setSortingEnabled(false);
    List1->setUniformItemSizes(true);
    QPalette board = List1->palette();
    board.setColor(QPalette::Base, Qt::black);
    board.setColor(QPalette::Text, QColor(0, 255, 0));
    List1->setPalette(board);

    // The etched rule under the menu bar: a dark line with a light one beneath it.
    Line2 = MakeLine(client, "Line2", 0, InactiveTitleBarColour());
    Line1 = MakeLine(client, "Line1", 1, QColor(224, 224, 224));

    for (QWidget* passive : {static_cast<QWidget*>(imgNotConnected), static_cast<QWidget*>(imgConnected),
                             static_cast<QWidget*>(lblSettings), static_cast<QWidget*>(ProgressBar1),
                             static_cast<QWidget*>(Line2), static_cast<QWidget*>(Line1)})
        passive->setFocusPolicy(Qt::NoFocus);
    setTabOrder(cmdPortSettings, cmdConnect);
    setTabOrder(cmdConnect, cmdSM);
    setTabOrder(cmdSM, cmdBattComm);
    setTabOrder(cmdBattComm, List1);
}

void frmMain::CreateMenus()
{
    FileMenu = menuBar()->addMenu("&File");
    FileMenu->setObjectName("FileMenu");
    mnuSettings = MakeItem(FileMenu, "mnuSettings", "&Properties");
    mnuExitOption = MakeItem(FileMenu, "mnuExitOption", "E&xit");

    mnuUPS = menuBar()->addMenu("&UPS");
    mnuUPS->setObjectName("mnuUPS");
    mnuConnect = MakeItem(mnuUPS, "mnuConnect", "&Connect");
    mnuDisconnect = MakeItem(mnuUPS, "mnuDisconnect", "&Disconect");
    // Shown and enabled, but it has no action.
    mnuUpdateERM = MakeItem(mnuUPS, "mnuUpdateERM", "&Update EEPROM");

    HelpMenu = menuBar()->addMenu("&Help");
    HelpMenu->setObjectName("HelpMenu");
    HelpTopics = MakeItem(HelpMenu, "HelpTopics", "&Help Topics");
    HelpMenu->addSeparator()->setObjectName("sep");
    AboutOption = MakeItem(HelpMenu, "AboutOption", "&About Zentrel");
}

// Shell.

void frmMain::AddToBoard(const std::string& message)
{
    List1->addItem(FromLatin1(message));
    if (boardLog_) UpsLink::LogBoardLine(*boardLog_, message);
}

void frmMain::BoardClear()
{
    List1->clear();
    if (boardLog_) UpsLink::LogBoardClear(*boardLog_);
}

std::vector<std::string> frmMain::BoardLines() const
{
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(List1->count()));
    for (int row = 0; row < List1->count(); ++row) lines.push_back(ToLatin1(List1->item(row)->text()));
    return lines;
}

void frmMain::Repaint()
{
    // The list lays out new lines lazily; lay them out now so the repaint shows them.
    List1->doItemsLayout();
    repaint();
}

void frmMain::SetEnabled(bool enabled)
{
    if (!enabled) commands_.Begin();
    setEnabled(enabled);
    if (enabled) commands_.End();
}

bool frmMain::Enabled() const { return isEnabled(); }

// The caption carries the file's title as the file system spells it.
void frmMain::SetCaption(const std::string& caption) { setWindowTitle(UpsLink::FromFileName(caption)); }

std::string frmMain::Caption() const { return UpsLink::ToFileName(windowTitle()); }

void frmMain::SetModuleEnabled(bool enabled) { cmdSM->setEnabled(enabled); }

// The button's own state, which the window keeps while it is disabled around a command.
bool frmMain::ModuleEnabled() const { return cmdSM->isEnabledTo(this); }

void frmMain::SetBusyPointer(bool busy)
{
    if (busy) {
        if (QApplication::overrideCursor())
            QApplication::changeOverrideCursor(Qt::WaitCursor);
        else
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    }
}

void frmMain::SetPortLabel(const std::string& text) { lblSettings->setText(FromLatin1(text)); }

void frmMain::SetPortLabelStruck(bool struck)
{
    QFont font = lblSettings->font();
    font.setStrikeOut(struck);
    lblSettings->setFont(font);
}

bool frmMain::PortLabelStruck() const { return lblSettings->font().strikeOut(); }

void frmMain::ShowConnected(bool connected)
{
    (connected ? imgConnected : imgNotConnected)->raise();
    cmdConnect->setText(connected ? "Disconnect" : "Connect");
}

void frmMain::SetProgressVisible(bool visible) { ProgressBar1->setVisible(visible); }

void frmMain::SetProgress(int value)
{
    // The bar refuses a value outside its range, as the classic control did.
    if (value < ProgressBar1->minimum() || value > ProgressBar1->maximum())
        throw UpsLink::Fault(UpsLink::FaultNo::InvalidPropertyValue);
    ProgressBar1->setValue(value);
}

UpsLink::MsgAnswer frmMain::MessageBox(const UpsLink::MessageRequest& request)
{
    return UpsLink::ShowMessageBox(this, request);
}

std::string frmMain::ChooseOpenFile(const UpsLink::OpenFileRequest& request)
{
    return UpsLink::ShowOpenFileDialog(this, request);
}

// There is no help viewer on this platform, so there is nothing to ask to quit.
void frmMain::HelpQuit() {}

// The command goes on when a record of it cannot be written: the unit matters more.
void frmMain::ShowWriteFailures()
{
    for (const std::string& failure : UpsLink::LineFile::TakeWriteFailures({boardLog_, wireTrace_}))
        MessageBox({failure, UpsLink::AppTitle, UpsLink::MsgButtons::OkOnly});
}

// Window events.

void frmMain::Form_Load() { ProgressBar1->hide(); }

void frmMain::Form_Unload()
{
    if (unloading_) return;
    unloading_ = true;
    // A step that fails is reported and the next one still runs: whatever happened, the port is
    // closed and the process ends.
    const auto step = [this](const std::function<void()>& action) {
        try {
            action();
        } catch (...) {
            AddToBoard(UpsLink::EscapedFaultLine());
        }
    };
    step([] {
        if (UpsLink::Connected) UpsLink::DisconnectUps();
    });
    step([this] { HelpQuit(); });
    step([this] {
        if (auto* settings = findChild<UpsLink::frmSettings*>()) settings->close();
    });
    step([] {
        UpsLink::Port& port = UpsLink::MSComm1();
        if (port.PortOpen()) port.SetPortOpen(false);
    });
    step([] { UpsLink::Sleep(UpsLink::PauseAtShutdown); });
    EndProcess();
}

void frmMain::Form_Terminate() { close(); }

void frmMain::closeEvent(QCloseEvent* event)
{
    // Held while a command runs; once under way, the unload is never cancelled.
    if (commands_.Holds(event)) return;
    Form_Unload();
    event->accept();
}

void frmMain::setVisible(bool visible)
{
    if (visible && !placed_) {
        placed_ = true;
        // Centred on the screen the first time it is shown.
        adjustSize();
        QRect frame = frameGeometry();
        frame.moveCenter(screen()->availableGeometry().center());
        move(frame.topLeft());
    }
    QMainWindow::setVisible(visible);
}

// Handlers.

void frmMain::mnuExitOption_Click() { close(); }

void frmMain::cmdBattComm_Click() { UpsLink::UpdateEeprom(); }

void frmMain::cmdPortSettings_Click() { UpsLink::frmSettings::Show(this); }

void frmMain::mnuSettings_Click()
{
    if (isEnabled()) cmdPortSettings_Click();
}

void frmMain::HelpTopics_Click() { UpsLink::ShowHelpTopics(); }

void frmMain::AboutOption_Click() { UpsLink::frmAbout::Show(this); }
