// The SDL backend: the process start and end, and termination signals as close requests.
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

void shutdown() {
    if (backend.switched) {
        changeDisplaySettings(nullptr, 0);
    }
    if (backend.videoUp) {
        SDL_Quit();
    }
}
}  // namespace windowSystem
