#include "platform/os/Timing.h"

#include "platform/os/Clock.h"

void Delay(double seconds) {
  if (seconds <= 0.0) return;
  Clock& clock = CurrentClock();
  clock.SleepUntil(clock.Now() + seconds);
}

double Timer() { return CurrentClock().Now(); }
