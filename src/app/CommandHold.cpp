#include "CommandHold.h"

#include <QCloseEvent>
#include <QTimer>
#include <QWidget>

#include "platform/qt/SystemClock.h"

namespace UpsLink {

void CommandHold::End()
{
    if (depth_ == 0 || --depth_ > 0) return;
    DiscardPendingInput();
    if (ended_) QTimer::singleShot(0, form_, ended_);
    if (!held_) return;
    held_ = false;
    // From the event loop, once the handler that ran the command has returned.
    QTimer::singleShot(0, form_, &QWidget::close);
}

bool CommandHold::Holds(QCloseEvent* event)
{
    if (depth_ == 0) return false;
    held_ = true;
    event->ignore();
    return true;
}

}  // namespace UpsLink
