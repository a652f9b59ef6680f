#include "frmSMSelect.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include "Handled.h"
#include "Twips.h"
#include "platform/Seams.h"
#include "ups/Globals.h"
#include "ups/ModuleSelect.h"

namespace UpsLink {

frmSMSelect::frmSMSelect(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      Label1(new QLabel(QStringLiteral("Module Number"), this)),
      cmbSM(new QComboBox(this)),
      cmdApply(new QPushButton(QStringLiteral("&Apply"), this)),
      cmdExit(new QPushButton(QStringLiteral("E&xit"), this))
{
    setObjectName("frmSMSelect");
    setWindowTitle(QStringLiteral("Module Select"));
    Label1->setObjectName("Label1");
    cmbSM->setObjectName("cmbSM");
    cmdApply->setObjectName("cmdApply");
    cmdExit->setObjectName("cmdExit");
    // No default button: Enter in the list does nothing.
    cmdApply->setAutoDefault(false);
    cmdExit->setAutoDefault(false);
    setFixedSize(Twips(3765), Twips(1425));
    Label1->setGeometry(TwipsRect(120, 300, 1125, 195));
    Label1->adjustSize();
    cmbSM->setGeometry(TwipsRect(1320, 240, 735, 315));
    cmdApply->setGeometry(TwipsRect(2520, 240, 975, 375));
    cmdExit->setGeometry(TwipsRect(2520, 840, 975, 375));

    Label1->setFocusPolicy(Qt::NoFocus);
    setTabOrder(cmdExit, cmbSM);
    setTabOrder(cmbSM, cmdApply);
    cmdExit->setFocus();

    connect(cmdApply, &QPushButton::clicked, this, HandledSlot([this] { cmdApply_Click(); }));
    connect(cmdExit, &QPushButton::clicked, this, HandledSlot([this] { cmdExit_Click(); }));
}

namespace {

// The dialog disabled under the hourglass while it lists the modules, given back however that ends.
class Listing {
public:
    explicit Listing(QWidget& dialog) : dialog_(dialog)
    {
        frmMain().SetBusyPointer(true);
        dialog_.setEnabled(false);
    }
    ~Listing()
    {
        dialog_.setEnabled(true);
        frmMain().SetBusyPointer(false);
    }
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;

private:
    QWidget& dialog_;
};

}  // namespace

void frmSMSelect::Form_Load()
{
    const CommandHold::Command command(commands_);
    const Listing listing(*this);
    const auto listed = DetermineModules([this] {
        cmbSM->clear();
        repaint();
    });
    // After a fault the list stays as far as it was filled, and Apply as it was.
    if (listed) {
        for (int16_t module : *listed) cmbSM->addItem(QString::number(module));
        if (cmbSM->count() > 0)
            cmbSM->setCurrentIndex(std::max(0, cmbSM->findText(QString::fromLatin1(SelectedModule))));
        else
            cmdApply->setEnabled(false);
    }
}

void frmSMSelect::cmdApply_Click()
{
    const CommandHold::Command command(commands_);
    // The hourglass the Apply put up goes however the switch ends.
    struct Pointer {
        ~Pointer() { frmMain().SetBusyPointer(false); }
    } const pointer;
    if (ApplyModuleSelect(cmbSM->currentText().toLatin1().toStdString()) == SwitchEnd::Accepted)
        cmdApply->setEnabled(false);
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

void frmSMSelect::closeEvent(QCloseEvent* event)
{
    if (!commands_.Holds(event)) QDialog::closeEvent(event);
}

void ShowModuleSelect()
{
    frmSMSelect dialog;
    dialog.Form_Load();
    dialog.exec();
}

}  // namespace UpsLink
