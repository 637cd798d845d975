// The message queue of the platform layer, the same for every backend under the rules: messages
// the game posts (WM_QUIT) come before anything else; then the window system's messages, one at a
// time, in the order they came, with the rule for quick key taps (key_taps.h). Backends supply
// only their messages.
#pragma once

#include <deque>

#include "key_taps.h"
#include "platform.h"

struct MessageQueue {
    std::deque<Msg> posted;
    std::deque<Msg> pending;  // the window system's messages, not taken yet
    KeyTaps keyTaps;

    // Appends to `pending` what the window system has now (zero or more messages); called only
    // when nothing is pending.
    using Fill = void (*)(std::deque<Msg>& pending);

    // PeekMessage: the next message into `msg` (taken when `remove`); false, with `msg` left
    // alone, when the queue is empty.
    bool peek(Msg& msg, bool remove, Fill fill);
    void post(const Msg& msg);
};
