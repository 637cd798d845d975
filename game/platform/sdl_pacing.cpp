// The SDL backend: the buffer swap, paced to the refresh of the current mode.
#include <chrono>
#include <thread>

#include "output_layout.h"
#include "sdl_backend.h"

namespace {

using namespace sdl;

// Waits out the rest of one refresh period of the current mode since the last swap: the pacing
// that vsync gives where the driver cannot sync.
void waitForRefresh() {
    SDL_DisplayMode current{};
    int hz = 60;
    if (backend.switched && outputLayout::active() && backend.mode.refresh_rate > 0) {
        hz = backend.mode.refresh_rate;  // SDL does not know of a switch made there
    } else if (SDL_GetCurrentDisplayMode(kGameDisplay, &current) == 0 && current.refresh_rate > 0) {
        hz = current.refresh_rate;
    }
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / hz;
    const auto due = backend.lastSwap + period;
    const auto now = Clock::now();
    if (now < due) {
        std::this_thread::sleep_until(due);
        backend.lastSwap = due;
    } else {
        backend.lastSwap = now;
    }
}

}  // namespace

namespace windowSystem {

using namespace sdl;

bool swapBuffers() {
    if (gameWindow() == nullptr) {
        return false;
    }
    if (!backend.vsync) {
        waitForRefresh();
    }
    SDL_GL_SwapWindow(gameWindow());
    return true;
}

}  // namespace windowSystem
