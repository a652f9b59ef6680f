#include "AppEnvironment.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "Application.h"

namespace {

// One application object for the whole test program, the program's own, as the widgets need.
// Made at set-up, so listing the tests needs no display.
class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<UpsLink::Application>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "app_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<UpsLink::Application> app_;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

}  // namespace

namespace AppTest {

void MessageBoxAnswerer::Poll()
{
    // Checks again every few milliseconds while a modal loop runs; a tick after the answerer is
    // gone does nothing.
    QTimer::singleShot(5, qApp, [this, alive = alive_] {
        if (!*alive) return;
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ShownBox shown{box->windowTitle(), box->text(), {}, {}, box->icon()};
            const auto plain = [](const QAbstractButton* button) { return button->text().remove('&'); };
            for (QAbstractButton* button : box->buttons()) shown.Buttons.push_back(plain(button));
            if (box->defaultButton()) shown.DefaultButton = plain(box->defaultButton());
            Shown.push_back(shown);
            QAbstractButton* press = box->defaultButton();
            for (QAbstractButton* button : box->buttons())
                if (!answer_.isEmpty() && plain(button) == answer_) press = button;
            if (press)
                press->click();
            else
                box->reject();
        }
        Poll();
    });
}

ScopedEnv::ScopedEnv(const char* name, const QByteArray& value)
    : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
{
    qputenv(name_, value);
}

ScopedEnv::~ScopedEnv()
{
    if (had_)
        qputenv(name_, old_);
    else
        qunsetenv(name_);
}

std::vector<std::string> FileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray text = file.readAll();
    if (text.endsWith('\n')) text.chop(1);
    std::vector<std::string> lines;
    if (text.isEmpty() && file.size() == 0) return lines;
    for (const QByteArray& line : text.split('\n')) lines.push_back(line.toStdString());
    return lines;
}

}  // namespace AppTest
