// The SDL backend: the process's start and end. Termination signals become close requests, crash
// signals go to the guardian first, and at the end the desktop gets its mode back through the
// backend's own restore.
#include <csignal>

#include "display_guardian.h"

#include "sdl_backend.h"

namespace {

using namespace sdl;

void onTerminationSignal(int /*sig*/) {
    closeRequests = closeRequests + 1;
}

}  // namespace

namespace sdl {

volatile std::sig_atomic_t closeRequests = 0;

}  // namespace sdl

namespace windowSystem {

using namespace sdl;

void startup() {
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    guardian::installCrashHandlers();
}

// Whatever the game left switched goes back to the desktop's mode before SDL goes.
void shutdown() {
    restoreDisplay();
    if (backend.videoUp) {
        SDL_Quit();
    }
}

}  // namespace windowSystem
