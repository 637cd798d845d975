// Stand-ins for the dice library's per-frame steps and click, for the shell's tests: each call is
// noted in the scripted platform's record ("updatePointer", "stepDice", "handleLeftClick"), so
// that tests see them in order with the platform calls. A die in flight loses one bounce per
// frame and is held for the next throw when it lands. Link it (with platform_scripted) in place
// of `dice_frame`.
#pragma once

#include "hand_and_view.h"

namespace frameRecording {

// The cursor position that the last updatePointer was given.
ScreenPoint lastCursor();

}  // namespace frameRecording
