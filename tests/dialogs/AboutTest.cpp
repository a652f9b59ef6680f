#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "app/frmAbout.h"

namespace UpsLink {
namespace {

TEST(AboutBox, ShowsCaptionDescriptionAndTheVersionWithItsZeroRevision)
{
    QWidget owner;
    owner.setGeometry(300, 200, 297, 166);
    owner.setWindowTitle("Zentrel - 280 UPS.pp");
    owner.show();
    frmAbout about(&owner, {2, 0, 0});
    about.show();
    EXPECT_EQ(about.windowTitle(), "About ");
    EXPECT_EQ(about.size(), QSize(325, 134));
    EXPECT_LE((about.geometry().center() - owner.geometry().center()).manhattanLength(), 1);
    const auto text = [&](const char* label) { return about.findChild<QLabel*>(label)->text(); };
    EXPECT_EQ(text("lblDescription"),
              "The Zentrel updates configuration information of the UPS or one of the attached module.");
    EXPECT_EQ(text("lblVersion"), "Version 2.0.0");
    EXPECT_EQ(about.findChild<QPushButton*>("cmdOK")->geometry(), QRect(232, 96, 73, 25));
}

TEST(AboutBox, OkEnterAndEscCloseIt)
{
    const struct {
        const char* how;
        std::function<void(frmAbout&)> press;
    } cases[] = {
        {"OK", [](frmAbout& box) { QTest::mouseClick(box.findChild<QPushButton*>("cmdOK"), Qt::LeftButton); }},
        {"Enter", [](frmAbout& box) { QTest::keyClick(&box, Qt::Key_Return); }},
        {"Esc", [](frmAbout& box) { QTest::keyClick(&box, Qt::Key_Escape); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        QWidget owner;
        owner.show();
        frmAbout about(&owner, BuildVersion());
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
        c.press(about);
        EXPECT_FALSE(about.isVisible());
    }
}

}  // namespace
}  // namespace UpsLink
