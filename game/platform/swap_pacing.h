// The swap paced by hand, the same for every backend: where the driver does not wait for the
// display's refresh, each swap waits out the rest of one refresh period since the last one, so
// the game keeps the speed it was designed for. No window system in it.
#pragma once

#include <chrono>

namespace swapPacing {

using Clock = std::chrono::steady_clock;

// One refresh period at `hz`; 60 Hz where the rate is unknown (0 or 1).
Clock::duration refreshPeriod(int hz);

// Waits until one `period` has passed since `lastSwap`, which then moves on to that moment (to
// now, when it has passed already).
void waitOutPeriod(Clock::time_point& lastSwap, Clock::duration period);

}  // namespace swapPacing
