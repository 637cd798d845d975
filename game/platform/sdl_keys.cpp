// The SDL backend: SDL keys to virtual-key codes.
#include <iterator>

#include "sdl_backend.h"

namespace {

// Keys outside the runs of letters, digits, function keys and keypad digits.
struct KeyEntry {
    SDL_Keycode key;
    WPARAM virtualKey;
};

constexpr KeyEntry kKeys[] = {
    {SDLK_KP_0, 0x60},        {SDLK_BACKSPACE, VK_BACK},  {SDLK_TAB, VK_TAB},
    {SDLK_RETURN, VK_RETURN}, {SDLK_KP_ENTER, VK_RETURN}, {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},  {SDLK_LCTRL, VK_CONTROL},   {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},     {SDLK_RALT, VK_MENU},       {SDLK_PAUSE, 0x13},
    {SDLK_CAPSLOCK, 0x14},    {SDLK_ESCAPE, VK_ESCAPE},   {SDLK_SPACE, VK_SPACE},
    {SDLK_PAGEUP, 0x21},      {SDLK_PAGEDOWN, 0x22},      {SDLK_END, 0x23},
    {SDLK_HOME, 0x24},        {SDLK_LEFT, VK_LEFT},       {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},   {SDLK_DOWN, VK_DOWN},       {SDLK_INSERT, 0x2D},
    {SDLK_DELETE, 0x2E},
};

}  // namespace

namespace sdl {

WPARAM virtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<WPARAM>('A') + static_cast<WPARAM>(key - SDLK_a);
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<WPARAM>(key);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return VK_F1 + static_cast<WPARAM>(key - SDLK_F1);
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return 0x61 + static_cast<WPARAM>(key - SDLK_KP_1);
    }
    for (const KeyEntry& entry : kKeys) {
        if (entry.key == key) {
            return entry.virtualKey;
        }
    }
    return 0;
}

}  // namespace sdl
