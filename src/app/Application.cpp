#include "Application.h"

#include <cstdio>

#include "common/EscapedFault.h"
#include "frmMain.h"

namespace UpsLink {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const std::string line = EscapedFaultLine();
        if (MainWindow)
            MainWindow->AddToBoard(line);
        else
            std::fprintf(stderr, "zentrel: %s\n", line.c_str());
        return true;
    }
}

}  // namespace UpsLink
