#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace UpsLink {

struct ProgramVersion {
    int Major;
    int Minor;
    int Revision;
};

// The version this program was built as.
ProgramVersion BuildVersion();
// "Version " and the three numbers, dot-separated, each in plain decimal.
std::string VersionText(const ProgramVersion& version);

// The about box: what the program does and its version.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    frmAbout(QWidget* owner, const ProgramVersion& version);

    // Shows a fresh about box modally over its owner; returns once it is unloaded.
    static void Show(QWidget* owner);

private:
    void Form_Load(const ProgramVersion& version);
    void cmdOK_Click();

    QPushButton* cmdOK;
    QLabel* lblDescription;
    QLabel* lblVersion;
    QLabel* lblAuthor;
    QLabel* Label1;
};

}  // namespace UpsLink
