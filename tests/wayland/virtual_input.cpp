// vantu-wl-input: gives a headless Wayland compositor's seat a mouse and a keyboard, so that a
// test can drive Wayland programs. A headless compositor has no input devices; this program adds
// one of each through the virtual-pointer and virtual-keyboard protocols (wlroots, sway) and
// keeps them until its standard input ends. Input comes from standard input, one line each:
//
//   key CODE       press and release the key of that Linux input code (1 Escape, 15 Tab,
//                  28 Return, 57 Space, 103 Up, 108 Down)
//   move DX DY     move the mouse by (DX, DY) as a mouse does: relative motion, which the
//                  compositor gives a client that has locked the pointer
//   button N       press and release mouse button N (1 left, 3 right)
//
// (The compositor's own cursor commands, such as sway's `seat seat0 cursor set X Y`, place the
// cursor without any relative motion.)
//
// With --keyboard it adds the keyboard alone (a pointer would enter the focused window where the
// compositor's cursor happens to be, and move the X pointer under a game that reads it).
//
// It prints "ready" once the compositor has both devices, and "done" after each key line.
// Keeping the devices for the whole run matters: a program binds a new keyboard only some time
// after the seat gains one, and keys sent before that are lost.
//
// The protocols' interfaces are declared here by hand (their files are not packaged).
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

namespace {

const wl_interface* kNoTypes[] = {nullptr, nullptr, nullptr, nullptr, nullptr};

extern const wl_interface virtualPointerInterface;
const wl_interface* kCreatePointerTypes[] = {&wl_seat_interface, &virtualPointerInterface};
const wl_message kPointerManagerRequests[] = {
    {"create_virtual_pointer", "?on", kCreatePointerTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface pointerManagerInterface = {"zwlr_virtual_pointer_manager_v1", 1, 2,
                                              kPointerManagerRequests,           0, nullptr};
const wl_message kPointerRequests[] = {
    {"motion", "uff", kNoTypes},   {"motion_absolute", "uuuuu", kNoTypes},
    {"button", "uuu", kNoTypes},   {"axis", "uuf", kNoTypes},
    {"frame", "", kNoTypes},       {"axis_source", "u", kNoTypes},
    {"axis_stop", "uu", kNoTypes}, {"axis_discrete", "uufi", kNoTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface virtualPointerInterface = {"zwlr_virtual_pointer_v1", 1, 9,
                                              kPointerRequests,          0, nullptr};

extern const wl_interface virtualKeyboardInterface;
const wl_interface* kCreateKeyboardTypes[] = {&wl_seat_interface, &virtualKeyboardInterface};
const wl_message kKeyboardManagerRequests[] = {
    {"create_virtual_keyboard", "on", kCreateKeyboardTypes},
};
const wl_interface keyboardManagerInterface = {"zwp_virtual_keyboard_manager_v1", 1, 1,
                                               kKeyboardManagerRequests,          0, nullptr};
const wl_message kKeyboardRequests[] = {
    {"keymap", "uhu", kNoTypes},
    {"key", "uuu", kNoTypes},
    {"modifiers", "uuuu", kNoTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface virtualKeyboardInterface = {"zwp_virtual_keyboard_v1", 1, 4,
                                               kKeyboardRequests,         0, nullptr};

enum : uint32_t { kKeymapRequest = 0, kKeyRequest = 1, kDestroyKeyboard = 3 };
enum : uint32_t { kMotion = 0, kButton = 2, kFrame = 4, kDestroyPointer = 8 };
constexpr uint32_t kLeftButton = 0x110;  // BTN_LEFT; BTN_RIGHT follows it

struct Globals {
    wl_proxy* pointerManager = nullptr;
    wl_proxy* keyboardManager = nullptr;
    wl_seat* seat = nullptr;
};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t /*version*/) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, pointerManagerInterface.name) == 0) {
        globals->pointerManager =
            static_cast<wl_proxy*>(wl_registry_bind(registry, name, &pointerManagerInterface, 1));
    } else if (std::strcmp(interface, keyboardManagerInterface.name) == 0) {
        globals->keyboardManager =
            static_cast<wl_proxy*>(wl_registry_bind(registry, name, &keyboardManagerInterface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr) {
        globals->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
}

void onGlobalRemove(void* /*data*/, wl_registry* /*registry*/, uint32_t /*name*/) {}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

// The default keymap (evdev rules, US layout) in a memory file, as the protocol wants it.
int keymapFile(uint32_t& size) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = context == nullptr ? nullptr
                                            : xkb_keymap_new_from_names(
                                                  context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
    char* text =
        keymap == nullptr ? nullptr : xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    int fd = -1;
    if (text != nullptr) {
        size = static_cast<uint32_t>(std::strlen(text) + 1);
        fd = memfd_create("vantu-keymap", MFD_CLOEXEC);
        if (fd >= 0 && write(fd, text, size) != static_cast<ssize_t>(size)) {
            close(fd);
            fd = -1;
        }
    }
    std::free(text);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return fd;
}

// Presses and releases a key or a button (the two requests share their arguments: time, code,
// state), 50 ms apart.
void pressAndRelease(wl_display* display, wl_proxy* device, uint32_t request, uint32_t& time,
                     uint32_t code) {
    const bool pointer = request == kButton;
    for (const uint32_t state : {1u, 0u}) {  // pressed, released
        wl_proxy_marshal(device, request, time += 10, code, state);
        if (pointer) {
            wl_proxy_marshal(device, kFrame);
        }
        wl_display_roundtrip(display);
        if (state == 1) {
            usleep(50 * 1000);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const bool withPointer = !(argc == 2 && std::strcmp(argv[1], "--keyboard") == 0);
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "vantu-wl-input: no Wayland display\n");
        return 1;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &globals);
    wl_display_roundtrip(display);
    if ((withPointer && globals.pointerManager == nullptr) || globals.keyboardManager == nullptr ||
        globals.seat == nullptr) {
        std::fprintf(stderr, "vantu-wl-input: the compositor offers no virtual input devices\n");
        return 1;
    }
    wl_proxy* pointer =
        withPointer ? wl_proxy_marshal_constructor(globals.pointerManager, 0,
                                                   &virtualPointerInterface, nullptr, nullptr)
                    : nullptr;
    wl_proxy* keyboard = wl_proxy_marshal_constructor(
        globals.keyboardManager, 0, &virtualKeyboardInterface, globals.seat, nullptr);
    uint32_t keymapSize = 0;
    const int keymap = keymapFile(keymapSize);
    if ((withPointer && pointer == nullptr) || keyboard == nullptr || keymap < 0) {
        std::fprintf(stderr, "vantu-wl-input: no virtual devices\n");
        return 1;
    }
    wl_proxy_marshal(keyboard, kKeymapRequest, uint32_t{WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1}, keymap,
                     keymapSize);
    close(keymap);
    if (wl_display_roundtrip(display) < 0) {
        std::fprintf(stderr, "vantu-wl-input: the compositor closed the connection\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    uint32_t time = 0;
    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream words(line);
        std::string command;
        int a = 0;
        int b = 0;
        words >> command >> a;
        if (command == "key" && words && a > 0) {
            pressAndRelease(display, keyboard, kKeyRequest, time, static_cast<uint32_t>(a));
        } else if (command == "move" && pointer != nullptr && words >> b) {
            wl_proxy_marshal(pointer, kMotion, time += 10, wl_fixed_from_int(a),
                             wl_fixed_from_int(b));
            wl_proxy_marshal(pointer, kFrame);
            wl_display_roundtrip(display);
        } else if (command == "button" && pointer != nullptr && words && (a == 1 || a == 3)) {
            pressAndRelease(display, pointer, kButton, time, kLeftButton + (a == 3 ? 1 : 0));
        } else {
            std::fprintf(stderr, "vantu-wl-input: not understood: %s\n", line.c_str());
            continue;
        }
        std::printf("done\n");
        std::fflush(stdout);
    }
    wl_proxy_marshal(keyboard, kDestroyKeyboard);
    if (pointer != nullptr) {
        wl_proxy_marshal(pointer, kDestroyPointer);
    }
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
