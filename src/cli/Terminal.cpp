#include "Terminal.h"

#include "platform/qt/StopRequest.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

namespace UpsLink {

#ifdef _WIN32

namespace {

bool IsConsole(DWORD stream)
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(stream), &mode) != 0;
}

}  // namespace

bool InputIsTerminal() { return IsConsole(STD_INPUT_HANDLE); }
bool ErrorIsTerminal() { return IsConsole(STD_ERROR_HANDLE); }

void PrepareConsole()
{
    SetConsoleOutputCP(CP_UTF8);
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(error, &mode)) SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

std::string ReadAnswerLine()
{
    // A console read ends at Enter, or fails when Ctrl+C or Ctrl+Break is pressed.
    std::string answer;
    char ch = 0;
    DWORD read = 0;
    while (!StopRequested() && ReadFile(GetStdHandle(STD_INPUT_HANDLE), &ch, 1, &read, nullptr) && read == 1 &&
           ch != '\n')
        if (ch != '\r') answer += ch;
    return answer;
}

#else

bool InputIsTerminal() { return ::isatty(STDIN_FILENO) != 0; }
bool ErrorIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

void PrepareConsole() {}

std::string ReadAnswerLine()
{
    std::string answer;
    for (char ch = 0; ch != '\n';) {
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (StopRequested()) break;
        if (::poll(&in, 1, 200) <= 0) continue;
        if (::read(STDIN_FILENO, &ch, 1) != 1) break;
        if (ch != '\n') answer += ch;
    }
    return answer;
}

#endif

}  // namespace UpsLink
