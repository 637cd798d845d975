// The swap paced by hand (see swap_pacing.h).
#include "swap_pacing.h"

#include <thread>

namespace swapPacing {

Clock::duration refreshPeriod(int hz) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) /
           (hz > 1 ? hz : 60);
}

void waitOutPeriod(Clock::time_point& lastSwap, Clock::duration period) {
    const auto due = lastSwap + period;
    const auto now = Clock::now();
    if (now < due) {
        std::this_thread::sleep_until(due);
        lastSwap = due;
    } else {
        lastSwap = now;
    }
}

}  // namespace swapPacing
