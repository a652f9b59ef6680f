#include "SystemClock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QTime>
#include <QTimer>

namespace UpsLink {

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove: return true;
    default: return false;
    }
}

// Eats user input for as long as it is installed on the application.
class InputDiscard : public QObject {
public:
    InputDiscard() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputDiscard() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override { return IsUserInput(event->type()); }
};

}  // namespace

double SystemClock::Timer() { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }

void SystemClock::Sleep(int milliseconds)
{
    if (milliseconds <= 0) return;
    const QDeadlineTimer deadline(milliseconds, Qt::PreciseTimer);
    if (QCoreApplication::instance()) {
        InputDiscard discard;
        QEventLoop pause;
        QTimer end;
        end.setTimerType(Qt::PreciseTimer);
        end.setSingleShot(true);
        QObject::connect(&end, &QTimer::timeout, &pause, &QEventLoop::quit);
        end.start(milliseconds);
        pause.exec();
    }
    // Without an application, or once it has been told to quit, the loop does not run: the rest
    // of the pause is slept through.
    const qint64 left = deadline.remainingTime();
    if (left > 0) QThread::msleep(static_cast<unsigned long>(left));
}

void DiscardPendingInput()
{
    if (!QCoreApplication::instance()) return;
    InputDiscard discard;
    QCoreApplication::processEvents();
}

}  // namespace UpsLink
