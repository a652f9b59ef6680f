#pragma once

#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// QString in test failure messages as its text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace AppTest {

// What a message box showed before the test answered it; button texts without their '&'.
struct ShownBox {
    QString Title;
    QString Text;
    std::vector<QString> Buttons;
    QString DefaultButton;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
};

// Answers every message box that opens while it lives, recording what each showed; answer picks
// the button to press (by its text without '&'), empty for the default one.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(QString answer = {}) : answer_(std::move(answer)) { Poll(); }
    ~MessageBoxAnswerer() { *alive_ = false; }
    std::vector<ShownBox> Shown;

private:
    void Poll();
    QString answer_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value);
    ~ScopedEnv();

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

// The whole text of a file, split into lines (no trailing empty element for the final newline).
std::vector<std::string> FileLines(const QString& path);

}  // namespace AppTest
