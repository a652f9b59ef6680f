#include "frmSMSelect.h"

#include <QKeyEvent>

#include "Connect.h"
#include "Modules.h"
#include "common/Fault.h"
#include "common/Globals.h"
#include "common/Text.h"
#include "platform/Seams.h"

namespace UpsLink {

namespace {

constexpr int TwipsPerPixel = 15;
constexpr int MaxListedModules = 65;
constexpr int NoModule = 255;

QRect Twips(int left, int top, int width, int height)
{
    return {left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel};
}

}  // namespace

frmSMSelect::frmSMSelect(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      Label1(new QLabel(QStringLiteral("Module Number"), this)),
      cmbSM(new QComboBox(this)),
      cmdApply(new QPushButton(QStringLiteral("&Apply"), this)),
      cmdExit(new QPushButton(QStringLiteral("E&xit"), this))
{
    setWindowTitle(QStringLiteral("Module Select"));
    setFixedSize(3765 / TwipsPerPixel, 1425 / TwipsPerPixel);
    Label1->setGeometry(Twips(120, 300, 1125, 195));
    Label1->adjustSize();
    cmbSM->setGeometry(Twips(1320, 240, 735, 315));
    cmdApply->setGeometry(Twips(2520, 240, 975, 375));
    cmdExit->setGeometry(Twips(2520, 840, 975, 375));

    Label1->setFocusPolicy(Qt::NoFocus);
    setTabOrder(cmdExit, cmbSM);
    setTabOrder(cmbSM, cmdApply);
    cmdExit->setFocus();

    connect(cmdApply, &QPushButton::clicked, this, &frmSMSelect::cmdApply_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmSMSelect::cmdExit_Click);
}

void frmSMSelect::Form_Load()
{
    Shell& shell = frmMain();
    shell.SetBusyPointer(true);
    setEnabled(false);
    try {
        shell.AddToBoard("Determining Modules Supported...");
        cmbSM->clear();
        repaint();
        if (!DiscoverModules()) {
            shell.AddToBoard("No modules detected");
        } else if (ModuleList.size() <= MaxListedModules) {
            for (int16_t module : ModuleList)
                if (module < NoModule) cmbSM->addItem(QString::number(module));
            if (cmbSM->count() > 0)
                cmbSM->setCurrentIndex(std::max(0, cmbSM->findText(QString::fromLatin1(SelectedModule))));
        }
        if (cmbSM->count() == 0) cmdApply->setEnabled(false);
        shell.AddToBoard("Done");
    } catch (const Fault& fault) {
        shell.AddToBoard(FaultLine(fault, " ", 15));
    }
    setEnabled(true);
    shell.SetBusyPointer(false);
}

void frmSMSelect::cmdApply_Click()
{
    Shell& shell = frmMain();
    try {
        shell.BoardClear();
        const auto module = static_cast<long long>(NumericPrefix(cmbSM->currentText().toLatin1().toStdString()));
        MessageRequest warning;
        warning.Title = "Update Configuration";
        warning.Text = "WARNING: You are about to switch to MODULE " + std::to_string(module) + "\r\n\r\nContinue? ";
        warning.Buttons = MsgButtons::YesNo;
        warning.Icon = MsgIcon::Exclamation;
        warning.DefaultButton = 1;
        const MsgAnswer answer = shell.MessageBox(warning);
        shell.SetBusyPointer(true);
        if (answer == MsgAnswer::Yes) {
            // Each hop of the path gets its own two seconds.
            ReplyTimeout = ToInt16(static_cast<long long>(ModulePath.size()) * 2);
            SelectedModule = std::to_string(module);
            shell.AddToBoard("Selecting Module " + SelectedModule);
            SelectModule(HexText(static_cast<uint64_t>(module)));
            Connected = false;
            shell.AddToBoard("Restarting Communication...");
            if (ConnectUps()) cmdApply->setEnabled(false);
        }
        shell.SetBusyPointer(false);
    } catch (const Fault& fault) {
        shell.AddToBoard(FaultLine(fault, " ", 14));
        shell.SetBusyPointer(false);
    }
}

void frmSMSelect::cmdExit_Click()
{
    close();
}

void frmSMSelect::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdExit->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ShowModuleSelect()
{
    frmSMSelect dialog;
    dialog.Form_Load();
    dialog.exec();
}

}  // namespace UpsLink
