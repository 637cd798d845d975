// The recording stand-ins for the pointer step, the dice step and the left click.
#include "frame_recording.h"

#include "dice_model.h"
#include "hand_and_view.h"
#include "motion.h"
#include "platform_scripted.h"

namespace {

ScreenPoint cursorSeen = kPointerCentre;

}  // namespace

namespace frameRecording {

ScreenPoint lastCursor() {
    return cursorSeen;
}

}  // namespace frameRecording

ScreenPoint updatePointer(ScreenPoint cursor) {
    scripted::note("updatePointer");
    cursorSeen = cursor;
    return kPointerCentre;
}

void stepDice() {
    scripted::note("stepDice");
    for (DieState& die : game.dice) {
        if (die.bouncesLeft > 0 && --die.bouncesLeft == 0) {
            die.marked = 1;
        }
    }
}

void handleLeftClick() {
    scripted::note("handleLeftClick");
}
