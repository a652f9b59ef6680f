#pragma once

#include <QApplication>

class frmMain;

namespace UpsLink {

// The application object. A fault that escapes an event handler is reported on the main
// window's board (on standard error before there is one) instead of ending the program; the busy
// wrapper has already given the window and the pointer back as it travelled.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    ::frmMain* MainWindow = nullptr;
};

}  // namespace UpsLink
