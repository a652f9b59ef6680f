#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "app/frmAbout.h"

namespace UpsLink {
namespace {

QString LabelText(const QDialog& box, const char* name)
{
    return box.findChild<QLabel*>(name)->text();
}

TEST(VersionText, ShowsAllThreeNumbersInPlainDecimal)
{
    const struct {
        ProgramVersion version;
        std::string text;
    } cases[] = {{{2, 0, 0}, "Version 2.0.0"}, {{1, 2, 23}, "Version 1.2.23"}, {{0, 10, 7}, "Version 0.10.7"}};
    for (const auto& c : cases) EXPECT_EQ(VersionText(c.version), c.text);
}

TEST(VersionText, TheBuildVersionIsTheProjectVersion)
{
    EXPECT_EQ(VersionText(BuildVersion()), "Version " ZENTREL_VERSION);
}

TEST(AboutBox, ShowsCaptionDescriptionAndVersion)
{
    QWidget owner;
    owner.setGeometry(300, 200, 297, 166);
    owner.setWindowTitle("Zentrel - 280 UPS.pp");
    owner.show();
    frmAbout about(&owner, {2, 0, 0});
    about.show();
    EXPECT_EQ(about.windowTitle(), "About ");
    EXPECT_EQ(LabelText(about, "lblVersion"), "Version 2.0.0");
    EXPECT_EQ(LabelText(about, "lblDescription"),
              "The Zentrel updates configuration information of the UPS or one of the attached module.");
    EXPECT_FALSE(LabelText(about, "lblAuthor").isEmpty());
    EXPECT_FALSE(LabelText(about, "Label1").isEmpty());
    EXPECT_EQ(about.size(), QSize(325, 134));
    EXPECT_LE((about.geometry().center() - owner.geometry().center()).manhattanLength(), 1);
    EXPECT_EQ(about.findChild<QPushButton*>("cmdOK")->geometry(), QRect(232, 96, 73, 25));
    EXPECT_EQ(about.findChild<QLabel*>("lblDescription")->geometry(), QRect(8, 8, 301, 43));
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
