#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace UpsLink {

// The port settings dialog: the port number and the baud rate, applied by reopening the port.
class frmSettings : public QDialog {
    Q_OBJECT

public:
    // Loads the dialog; the main window's shutdown finds it by its object name, "frmSettings".
    explicit frmSettings(QWidget* owner);

    // Shows a fresh dialog modally over its owner; returns once it is unloaded.
    static void Show(QWidget* owner);

private:
    void Form_Load();
    void cmdCancel_Click();
    void cmdApply_Click();

    QLabel* lblBaud;
    QLineEdit* txtBaud;
    QLabel* lblCom;
    QLineEdit* txtCOM;
    QPushButton* cmdApply;
    QPushButton* cmdCancel;
};

}  // namespace UpsLink
