// The display guardian: a small process, forked from the game before anything else touches the
// windowing system, that saves the desktop's display mode and puts it back through XRandR when
// the game ends without having put it back itself (a crash, SIGKILL, a power cut of the process).
//
// Game and guardian share one socket pair. The game sends 'S' before it switches the display,
// 'R' once it has restored the desktop's mode (the guardian then leaves at once) and 'C' from
// the crash handler, which waits for the guardian's 'D' before the process dies. When the game
// goes away without 'R' after 'S', the guardian restores the mode and leaves; it never lives on
// for more than a second after the game.
#pragma once

namespace guardian {

// Forks the guardian, which saves the desktop's mode now. False (and no guardian) when there is
// no X display with XRandR, on XWayland (nothing to guard there) or when the fork fails.
bool start();

// The display is about to be switched.
void displaySwitched();

// The desktop's mode is back; the guardian leaves.
void displayRestored();

// Crash signals (SIGSEGV, SIGABRT, SIGBUS, SIGFPE) first have the guardian restore the desktop's
// mode, then go on to whatever handled them before (the default: the process dies with them).
void installCrashHandlers();

}  // namespace guardian
