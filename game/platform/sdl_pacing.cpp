// The SDL backend: the buffer swap, paced to the refresh of the current mode.
#include "output_layout.h"
#include "sdl_backend.h"
#include "swap_pacing.h"

namespace {

using namespace sdl;

// The current mode's refresh rate; 0 when unknown.
int currentRefreshRate() {
    if (backend.switched && outputLayout::active() && backend.mode.refresh_rate > 0) {
        return backend.mode.refresh_rate;  // SDL does not know of a switch made there
    }
    SDL_DisplayMode current{};
    return SDL_GetCurrentDisplayMode(kGameDisplay, &current) == 0 ? current.refresh_rate : 0;
}

}  // namespace

namespace windowSystem {

using namespace sdl;

// Where the driver cannot sync, the swap waits out the rest of one refresh period of the
// current mode since the last one: the pacing that vsync gives.
bool swapBuffers() {
    if (gameWindow() == nullptr) {
        return false;
    }
    if (!backend.vsync) {
        swapPacing::waitOutPeriod(backend.lastSwap,
                                  swapPacing::refreshPeriod(currentRefreshRate()));
    }
    SDL_GL_SwapWindow(gameWindow());
    return true;
}

}  // namespace windowSystem
