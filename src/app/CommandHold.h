#pragma once

#include <functional>

class QCloseEvent;
class QWidget;

namespace UpsLink {

// A form's commands as they start and end. A request to close the form while one is under way
// (its close box, or a signal to end the program) is held and carried out as soon as the last one
// ends, so that nothing re-enters a command or the shutdown in the middle of a transaction; what
// was typed or clicked meanwhile is thrown away then. ended, when given, runs from the event loop
// after the last command has ended, before a held close.
class CommandHold {
public:
    explicit CommandHold(QWidget* form, std::function<void()> ended = {}) : form_(form), ended_(std::move(ended)) {}

    // One command of the form from its start to its end, however it ends.
    class Command {
    public:
        explicit Command(CommandHold& hold) : hold_(hold) { hold_.Begin(); }
        ~Command() { hold_.End(); }
        Command(const Command&) = delete;
        Command& operator=(const Command&) = delete;

    private:
        CommandHold& hold_;
    };

    // For a form whose commands start and end through the Shell's scope guards (Busy).
    void Begin() { ++depth_; }
    void End();

    // True when the close was held: the event is then ignored.
    bool Holds(QCloseEvent* event);

private:
    QWidget* form_;
    std::function<void()> ended_;
    int depth_ = 0;
    bool held_ = false;
};

}  // namespace UpsLink
