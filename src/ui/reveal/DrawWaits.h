#pragma once

#include <functional>

// The waits of the draw: each single wait sleeps the whole thread and then lets the window
// process what is pending, so it repaints and stays responsive.
namespace DrawWaits {

using SleepFunction = std::function<void(int milliseconds)>;

// Puts sleep in place of the thread sleep and returns the one it replaces; an empty function
// brings back the thread sleep. Tests use it to run without sleeping and to count the waits.
SleepFunction setSleepFunction(SleepFunction sleep);

// Replaces the sleep for the lifetime of the object.
class ScopedSleepFunction
{
public:
    explicit ScopedSleepFunction(SleepFunction sleep);
    ~ScopedSleepFunction();
    ScopedSleepFunction(const ScopedSleepFunction &) = delete;
    ScopedSleepFunction &operator=(const ScopedSleepFunction &) = delete;

private:
    SleepFunction previous;
};

// The thread sleep the waits use unless replaced. Waits that follow each other closely keep
// one schedule: each ends milliseconds after the end of the one before, whatever the thread
// overslept or the window took to draw in between.
void threadSleep(int milliseconds);

void processPendingEvents();

// While set, every wait returns at once without sleeping: a run whose window is closing passes
// its remaining steps quickly. The run that set it clears it when it ends.
void setWaitsCancelled(bool cancelled);
bool waitsCancelled();

// n waits of 10 ms, respectively 100 ms; n <= 0 returns at once.
void pauseHundredths(int n);
void pauseTenths(int n);

} // namespace DrawWaits
