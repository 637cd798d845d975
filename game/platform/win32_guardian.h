// The display guardian of the Windows build: VantuGuard.exe, a small program beside the game
// that waits on the game's process handle and, once the game has gone, gives the desktop its
// display mode back if the game did not (killed, "End task", a crash). Windows does not promise
// to undo a temporary full-screen mode when its process dies, and Wine does not.
#pragma once

namespace guardian {

// Starts the guardian for this process, once, before the display is first switched. The game
// goes on without it (a line on standard error) when it cannot be started.
void startWatching();

}  // namespace guardian
