// The SDL backend: SDL events turned into window messages.

#include "sdl_backend.h"

namespace {

using namespace sdl;

LPARAM pointLParam(int x, int y) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(x & 0xFFFF));
}

WPARAM buttonFlags(std::uint32_t state) {
    WPARAM flags = 0;
    if (state & SDL_BUTTON_LMASK) {
        flags |= 0x1;  // MK_LBUTTON
    }
    if (state & SDL_BUTTON_RMASK) {
        flags |= 0x2;  // MK_RBUTTON
    }
    return flags;
}

void pushActivate(WPARAM how, std::deque<Msg>& pending) {
    pending.push_back({WM_ACTIVATE, how | (backend.minimised ? WA_MINIMIZED_FLAG : 0), 0});
}

}  // namespace

namespace sdl {

// Zero or more messages for one SDL event.
void translate(const SDL_Event& e, std::deque<Msg>& pending) {
    switch (e.type) {
        case SDL_QUIT:
            pending.push_back({WM_CLOSE, 0, 0});
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    pending.push_back({WM_SIZE, 0, pointLParam(e.window.data1, e.window.data2)});
                    break;
                case SDL_WINDOWEVENT_MINIMIZED:
                    backend.minimised = true;
                    pushActivate(WA_INACTIVE, pending);
                    break;
                case SDL_WINDOWEVENT_RESTORED:
                    backend.minimised = false;
                    pushActivate(WA_ACTIVE, pending);
                    break;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    pushActivate(WA_ACTIVE, pending);
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    pushActivate(WA_INACTIVE, pending);
                    break;
                case SDL_WINDOWEVENT_CLOSE:
                    pending.push_back({WM_CLOSE, 0, 0});
                    break;
                default:
                    break;
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const WPARAM vk = virtualKey(e.key.keysym.sym);
            if (vk == 0) {
                break;
            }
            const bool down = e.type == SDL_KEYDOWN;
            // Keys with Alt, Alt itself and F10 are system keys.
            const bool system = (e.key.keysym.mod & KMOD_ALT) != 0 || vk == VK_MENU || vk == VK_F10;
            std::uint32_t message = down ? WM_KEYDOWN : WM_KEYUP;
            if (system) {
                message = down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
            }
            pending.push_back({message, vk, e.key.repeat ? 0x40000000 : 0});
            break;
        }
        case SDL_MOUSEMOTION:
            pending.push_back(
                {WM_MOUSEMOVE, buttonFlags(e.motion.state), pointLParam(e.motion.x, e.motion.y)});
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            std::uint32_t message = 0;
            if (e.button.button == SDL_BUTTON_LEFT) {
                message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            } else if (e.button.button == SDL_BUTTON_RIGHT) {
                message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            }
            if (message != 0) {
                pending.push_back({message, buttonFlags(SDL_GetMouseState(nullptr, nullptr)),
                                   pointLParam(e.button.x, e.button.y)});
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace sdl

namespace windowSystem {

using namespace sdl;

// What SDL has now: a close request from a signal, then its events until one gives a message.
void fillMessages(std::deque<Msg>& pending) {
    if (backend.closeRequestsSent != closeRequests) {
        backend.closeRequestsSent = closeRequests;
        pending.push_back({WM_CLOSE, 0, 0});
    }
    if (backend.videoUp && pending.empty()) {
        // Pump and peek rather than SDL_PollEvent, whose end-of-poll marker would report an
        // empty queue ahead of events that came in after the last pump.
        SDL_PumpEvents();
        SDL_Event e;
        while (pending.empty() &&
               SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
            translate(e, pending);
        }
    }
}

}  // namespace windowSystem
