#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "CommandHold.h"

namespace UpsLink {

// The module select dialog: lists the modules the UPS reports and switches the link to one.
class frmSMSelect : public QDialog {
    Q_OBJECT
public:
    explicit frmSMSelect(QWidget* parent = nullptr);

    // Discovery and the list; runs before the dialog is shown.
    void Form_Load();
    void cmdApply_Click();
    void cmdExit_Click();

    QLabel* Label1;
    QComboBox* cmbSM;
    QPushButton* cmdApply;
    QPushButton* cmdExit;

protected:
    // Esc presses the cancel button.
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    CommandHold commands_{this};
};

// Loads the dialog and shows it modally with no owner window until it is closed.
void ShowModuleSelect();

}  // namespace UpsLink
