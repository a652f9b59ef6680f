// The forms' shapes: every text fits the room the form's layout gives it, at the font in use (run
// once as it is and once with the display scaled by half again); the module select dialog's border
// and keys.
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "ScriptedWindow.h"
#include "frmAbout.h"
#include "frmSettings.h"

namespace UpsLink::Testing {

// How wide and high a control must be to show all of its text; empty for controls without text.
QSize Needed(QWidget& control)
{
    const QFontMetrics metrics = control.fontMetrics();
    const auto text = [&](const QString& t) { return metrics.size(Qt::TextShowMnemonic, t); };
    const int frame = 2 * control.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    if (auto* label = qobject_cast<QLabel*>(&control)) {
        if (!label->wordWrap() || label->text().isEmpty()) return text(label->text());
        return {0, label->heightForWidth(label->contentsRect().width())};
    }
    if (auto* button = qobject_cast<QPushButton*>(&control))
        return text(button->text()) + QSize(2 * control.style()->pixelMetric(QStyle::PM_ButtonMargin), frame);
    if (auto* box = qobject_cast<QLineEdit*>(&control))
        return text(QString(box->maxLength() < 32 ? box->maxLength() : 0, '8')) + QSize(frame + 4, frame);
    if (auto* list = qobject_cast<QComboBox*>(&control)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        QSize widest;
        for (int i = 0; i < list->count(); ++i) widest = widest.expandedTo(text(list->itemText(i)));
        return control.style()->sizeFromContents(QStyle::CT_ComboBox, &option, widest, list);
    }
    return {};
}

void ExpectEveryTextFits(QWidget& form)
{
    for (QWidget* control : form.findChildren<QWidget*>()) {
        const QSize needed = Needed(*control), room = control->contentsRect().size();
        EXPECT_TRUE(needed.width() <= room.width() && needed.height() <= room.height())
            << form.objectName().toStdString() << "." << control->objectName().toStdString() << " needs "
            << needed.width() << "x" << needed.height() << ", has " << room.width() << "x" << room.height();
    }
}

TEST(Forms, EveryTextOfEveryFormFits)
{
    SimBench<UpsModel, ScriptedWindow> b;
    OpenPort();
    b.shell.show();
    b.shell.ShowConnected(true);  // the longer caption of the Connect button
    ExpectEveryTextFits(b.shell);
    int menus = 0;
    for (QAction* menu : b.shell.menuBar()->actions())
        menus = std::max(menus, b.shell.menuBar()->actionGeometry(menu).right());
    EXPECT_LE(menus, b.shell.menuBar()->width());
    frmSettings settings(&b.shell);
    frmAbout about(&b.shell, {12, 34, 567});
    frmSMSelect modules;
    modules.cmbSM->addItems({"0", "254"});
    for (QWidget* form : std::initializer_list<QWidget*>{&settings, &about, &modules}) ExpectEveryTextFits(*form);
}

// A fixed dialog without minimize or maximize box; Enter in the list presses nothing, Esc presses Exit.
TEST(Forms, ModuleSelectIsAFixedDialogWithoutADefaultButton)
{
    SimBench<UpsModel, ScriptedWindow> b;
    frmSMSelect dialog;
    dialog.cmbSM->addItem("2");
    EXPECT_EQ(dialog.windowType(), Qt::Dialog);
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint));
    EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    for (const char* name : {"Label1", "cmbSM", "cmdApply", "cmdExit"}) EXPECT_TRUE(dialog.findChild<QWidget*>(name));
    int applied = 0, exited = 0;
    QObject::connect(dialog.cmdApply, &QPushButton::clicked, [&] { ++applied; });
    QObject::connect(dialog.cmdExit, &QPushButton::clicked, [&] { ++exited; });
    dialog.show();
    dialog.cmbSM->setFocus();
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(dialog.cmbSM, &press);
    }
    EXPECT_EQ(std::tuple(applied, exited, dialog.isVisible()), std::tuple(0, 1, false));
}

}  // namespace UpsLink::Testing
