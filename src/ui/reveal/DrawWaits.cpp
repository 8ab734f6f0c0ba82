#include "DrawWaits.h"

#include <QCoreApplication>

#include <chrono>
#include <thread>
#include <utility>

namespace DrawWaits {

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
        threadSleep(milliseconds);
    processPendingEvents();
}

} // namespace

void threadSleep(int milliseconds)
{
    using Clock = std::chrono::steady_clock;
    static Clock::time_point lastDeadline;
    const Clock::time_point now = Clock::now();
    const auto length = std::chrono::milliseconds(milliseconds);
    // A wait that follows the last one closely continues its schedule, so what the thread
    // oversleeps and what the window draws in between is taken off this wait; after a longer
    // gap the schedule starts afresh, so that it never races to catch up.
    const Clock::time_point deadline = now - lastDeadline <= length ? lastDeadline + length : now + length;
    lastDeadline = deadline;
    std::this_thread::sleep_until(deadline);
}

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

} // namespace DrawWaits
