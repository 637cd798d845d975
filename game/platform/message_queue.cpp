// The platform's message queue (see message_queue.h).
#include "message_queue.h"

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
        keyTaps.idle();
        return false;
    }
    const Msg next = pending.front();
    if (keyTaps.holdsBack(next)) {
        return false;
    }
    if (remove) {
        pending.pop_front();
        keyTaps.taken(next);
    }
    msg = next;
    return true;
}

void MessageQueue::post(const Msg& msg) {
    posted.push_back(msg);
}
