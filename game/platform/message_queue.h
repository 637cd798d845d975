// The message queue of the platform layer, the same for every backend: messages the game posts
// (WM_QUIT) come before anything else; then the window system's messages, one at a time, in the
// order they came; and a key released in the same breath as it was pressed (quicker than one
// frame, as synthetic input does) still gets one empty queue, so one frame, while it is down.
// Backends supply only their messages.
#pragma once

#include <deque>

#include "platform.h"

struct MessageQueue {
    std::deque<Msg> posted;
    std::deque<Msg> pending;  // the window system's messages, not taken yet
    bool pressedSinceIdle[256] = {};

    // Appends to `pending` what the window system has now (zero or more messages); called only
    // when nothing is pending.
    using Fill = void (*)(std::deque<Msg>& pending);

    // PeekMessage: the next message into `msg` (taken when `remove`); false, with `msg` left
    // alone, when the queue is empty.
    bool peek(Msg& msg, bool remove, Fill fill);
    void post(const Msg& msg);
};
