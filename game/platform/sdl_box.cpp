// The SDL backend: message boxes and the process SDL shows them in.
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "sdl_backend.h"

namespace {

using namespace sdl;

// SDL draws a message box in a process of its own, forked from the game, and waits for it.
// That process must not outlive the game: after a crash or SIGKILL it would keep the box on
// the screen with no game behind it. It is told to die with the game, and the signals that ask
// the game to end close its box as they would a program's.
//
// When its own box fails or is closed by a signal, SDL goes on to another program's box
// (zenity, where installed) and waits for that one. The game shows its own box once: a second
// process forked for the same box ends before it starts anything.
bool forkingForBox = false;
int boxForks = 0;

pid_t boxOwner = 0;

void beforeFork() {
    if (forkingForBox) {
        ++boxForks;
    }
}

void onForkInChild() {
    if (!forkingForBox) {
        return;
    }
    if (boxForks > 1) {
        _exit(129);  // SDL's fallback to another program's box: as if it were not installed
    }
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != boxOwner) {
        _exit(1);  // the game died before it could be watched
    }
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
}

}  // namespace

namespace windowSystem {

using namespace sdl;

void messageBox(bool owned, const char* text, const char* caption, unsigned type) {
    std::uint32_t flags = SDL_MESSAGEBOX_INFORMATION;
    if ((type & 0xF0) == MB_ICONERROR) {
        flags = SDL_MESSAGEBOX_ERROR;
    } else if ((type & 0xF0) == MB_ICONWARNING) {
        flags = SDL_MESSAGEBOX_WARNING;
    }
    // Also on standard error, for a player who started the game from a terminal, and for a
    // display where no box can be shown.
    std::fprintf(stderr, "%s: %s\n", caption, text);
    SDL_Window* parent = owned ? gameWindow() : nullptr;
    static const bool watched = pthread_atfork(beforeFork, nullptr, onForkInChild) == 0;
    (void)watched;
    boxOwner = getpid();
    boxForks = 0;
    forkingForBox = true;
    SDL_ShowSimpleMessageBox(flags, caption, text, parent);
    forkingForBox = false;
}

}  // namespace windowSystem
