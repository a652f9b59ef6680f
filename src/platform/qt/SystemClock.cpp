#include <QThread>
#include <QTime>

#include "SystemClock.h"

namespace UpsLink {

double SystemClock::Timer() { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }

void SystemClock::Sleep(int milliseconds)
{
    if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

}  // namespace UpsLink
