// The platform's message queue (see message_queue.h).
#include "message_queue.h"

#include <cstring>

bool MessageQueue::peek(Msg& msg, bool remove, Fill fill) {
    if (!posted.empty()) {
        msg = posted.front();
        if (remove) {
            posted.pop_front();
        }
        return true;
    }
    if (pending.empty()) {
        fill(pending);
    }
    if (pending.empty()) {
        std::memset(pressedSinceIdle, 0, sizeof pressedSinceIdle);
        return false;
    }
    const Msg next = pending.front();
    if (next.message == WM_KEYUP && next.wParam < 256 && pressedSinceIdle[next.wParam]) {
        std::memset(pressedSinceIdle, 0, sizeof pressedSinceIdle);
        return false;
    }
    if (!remove) {
        msg = next;
        return true;
    }
    pending.pop_front();
    if (next.message == WM_KEYDOWN && next.wParam < 256) {
        pressedSinceIdle[next.wParam] = true;
    }
    msg = next;
    return true;
}

void MessageQueue::post(const Msg& msg) {
    posted.push_back(msg);
}
