#include "frmAbout.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "Handled.h"
#include "Twips.h"

namespace UpsLink {

ProgramVersion BuildVersion()
{
    return {ZENTREL_VERSION_MAJOR, ZENTREL_VERSION_MINOR, ZENTREL_VERSION_PATCH};
}

std::string VersionText(const ProgramVersion& version)
{
    return "Version " + std::to_string(version.Major) + "." + std::to_string(version.Minor) + "." +
           std::to_string(version.Revision);
}

frmAbout::frmAbout(QWidget* owner, const ProgramVersion& version)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName("frmAbout");
    setFixedSize(Twips(4875), Twips(2010));

    // Created in tab order.
    cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setGeometry(TwipsRect(3480, 1440, 1095, 375));
    lblDescription = new QLabel(this);
    lblDescription->setObjectName("lblDescription");
    lblDescription->setGeometry(TwipsRect(120, 120, 4515, 645));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette black = lblDescription->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    lblDescription->setPalette(black);
    lblVersion = new QLabel(this);
    lblVersion->setObjectName("lblVersion");
    lblVersion->setGeometry(TwipsRect(120, 1560, 1365, 225));
    lblAuthor = new QLabel("Made for UPS service engineers", this);
    lblAuthor->setObjectName("lblAuthor");
    lblAuthor->setGeometry(TwipsRect(120, 840, 3015, 255));
    Label1 = new QLabel("For service use only", this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(TwipsRect(120, 1200, 1935, 255));

    // Default and cancel at once: Enter and Esc both press it.
    cmdOK->setDefault(true);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, HandledSlot([this] { cmdOK_Click(); }));

    Form_Load(version);
}

void frmAbout::Show(QWidget* owner)
{
    frmAbout about(owner, BuildVersion());
    about.exec();
}

void frmAbout::Form_Load(const ProgramVersion& version)
{
    setWindowTitle("About ");
    lblVersion->setText(QString::fromStdString(VersionText(version)));
    lblDescription->setText("The Zentrel updates configuration information of the UPS or one of the attached module.");
}

void frmAbout::cmdOK_Click()
{
    accept();
}

}  // namespace UpsLink
