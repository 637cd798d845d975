// The queue's rule for quick key taps, the same on every backend: a key released in the same
// breath as it was pressed (quicker than one frame, as synthetic input does) still gets one empty
// queue, so one frame, while it is down. The queue asks before it gives each message.
#pragma once

#include <bitset>

#include "platform.h"

struct KeyTaps {
    std::bitset<256> pressedSinceIdle;  // keys taken down since the queue was last empty

    // Whether the queue reports itself empty once before it gives `next`: the key-up of a key
    // taken down since the queue was last empty.
    bool holdsBack(const Msg& next) {
        if (next.message == WM_KEYUP && next.wParam < pressedSinceIdle.size() &&
            pressedSinceIdle[next.wParam]) {
            pressedSinceIdle.reset();
            return true;
        }
        return false;
    }

    // The queue gave `msg`.
    void taken(const Msg& msg) {
        if (msg.message == WM_KEYDOWN && msg.wParam < pressedSinceIdle.size()) {
            pressedSinceIdle[msg.wParam] = true;
        }
    }

    // The queue was found empty.
    void idle() { pressedSinceIdle.reset(); }
};
