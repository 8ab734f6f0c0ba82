#include "zopSleepModule.h"

#include <QCoreApplication>
#include <QThread>

#include <utility>

namespace zopSleepModule {

namespace {

SleepFunction &currentSleep()
{
    static SleepFunction sleep;
    return sleep;
}

bool &cancelledFlag()
{
    static bool cancelled = false;
    return cancelled;
}

void waitOnce(int milliseconds)
{
    if (const SleepFunction &sleep = currentSleep())
        sleep(milliseconds);
    else
        QThread::msleep(static_cast<unsigned long>(milliseconds));
    processPendingEvents();
}

} // namespace

SleepFunction setSleepFunction(SleepFunction sleep)
{
    return std::exchange(currentSleep(), std::move(sleep));
}

ScopedSleepFunction::ScopedSleepFunction(SleepFunction sleep)
    : previous(setSleepFunction(std::move(sleep)))
{
}

ScopedSleepFunction::~ScopedSleepFunction()
{
    setSleepFunction(std::move(previous));
}

void processPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void setWaitsCancelled(bool cancelled)
{
    cancelledFlag() = cancelled;
}

bool waitsCancelled()
{
    return cancelledFlag();
}

void pauseHundredths(int n)
{
    for (int i = 0; i < n && !cancelledFlag(); ++i)
        waitOnce(10);
}

void pauseTenths(int n)
{
    for (int i = 0; i < n && !cancelledFlag(); ++i)
        waitOnce(100);
}

} // namespace zopSleepModule
