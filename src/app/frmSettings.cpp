#include "frmSettings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <regex>

#include "Handled.h"
#include "Twips.h"
#include "common/Fault.h"
#include "link/Globals.h"
#include "link/PortControl.h"
#include "platform/Seams.h"
#include "platform/Trapped.h"

namespace UpsLink {

namespace {

std::string FromBox(const QLineEdit* box)
{
    return box->text().toLatin1().toStdString();
}

// What the dialog takes as numeric: blanks around an optional sign, digits, an optional point with
// digits and an optional exponent ("1.", ".5" and "2D2" are not).
bool IsNumericEntry(const std::string& text)
{
    static const std::regex number(R"( *[+-]?[0-9]+(\.[0-9]+)?([eE][+-]?[0-9]+)? *)");
    return std::regex_match(text, number);
}

}  // namespace

frmSettings::frmSettings(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName("frmSettings");
    setWindowTitle("Settings");
    setFixedSize(Twips(3690), Twips(1410));

    // Created in tab order: the Exit button first, so it holds the focus.
    cmdCancel = new QPushButton("E&xit", this);
    cmdCancel->setObjectName("cmdCancel");
    cmdCancel->setGeometry(TwipsRect(2520, 818, 975, 375));
    txtCOM = new QLineEdit("1", this);
    txtCOM->setObjectName("txtCOM");
    txtCOM->setMaxLength(1);
    txtCOM->setGeometry(TwipsRect(840, 863, 495, 285));
    txtBaud = new QLineEdit("19200", this);
    txtBaud->setObjectName("txtBaud");
    txtBaud->setMaxLength(5);
    txtBaud->setGeometry(TwipsRect(840, 263, 855, 285));
    cmdApply = new QPushButton("&Apply", this);
    cmdApply->setObjectName("cmdApply");
    cmdApply->setGeometry(TwipsRect(2520, 218, 975, 375));
    lblBaud = new QLabel("Baud", this);
    lblBaud->setObjectName("lblBaud");
    lblBaud->move(TwipsRect(240, 308, 375, 195).topLeft());
    lblBaud->adjustSize();
    lblCom = new QLabel("COM", this);
    lblCom->setObjectName("lblCom");
    lblCom->move(TwipsRect(240, 908, 360, 195).topLeft());
    lblCom->adjustSize();

    // Enter does nothing special: no button is pressed by it. Esc, whichever control has the
    // focus, reaches the dialog, which unloads itself as Exit does.
    for (QPushButton* button : {cmdApply, cmdCancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    cmdCancel->setFocus();

    connect(cmdCancel, &QPushButton::clicked, this, HandledSlot([this] { cmdCancel_Click(); }));
    connect(cmdApply, &QPushButton::clicked, this, HandledSlot([this] { cmdApply_Click(); }));

    Form_Load();
}

void frmSettings::Show(QWidget* owner)
{
    frmSettings dialog(owner);
    dialog.exec();
}

void frmSettings::Form_Load()
{
    Trapped(Mark::SettingsLoad, [this] {
        txtBaud->setText(QString::fromLatin1(BaudRate));
        txtCOM->setText(QString::fromLatin1(PortNumber));
        frmMain().SetPortLabel(PortLabelText());
    });
}

void frmSettings::cmdCancel_Click()
{
    reject();
}

void frmSettings::cmdApply_Click()
{
    frmMain().BoardClear();
    if (!IsNumericEntry(FromBox(txtCOM))) {
        txtCOM->setFocus();
        return;
    }
    if (!IsNumericEntry(FromBox(txtBaud))) {
        txtBaud->setFocus();
        return;
    }
    // The connection is forgotten, not closed: nothing is sent to the unit.
    Connected = false;
    BaudRate = FromBox(txtBaud);
    PortNumber = FromBox(txtCOM);
    ResetPort();
}

}  // namespace UpsLink
