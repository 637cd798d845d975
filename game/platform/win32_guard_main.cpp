// VantuGuard.exe, the display guardian of the Windows build (see win32_guardian.h). Its one
// argument is the game's process handle, inherited from the game. It waits for the game to end;
// if the display is then not in the desktop's own mode (the one in the registry), it puts that
// mode back.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>

namespace {

bool sameMode(const DEVMODEA& a, const DEVMODEA& b) {
    return a.dmPelsWidth == b.dmPelsWidth && a.dmPelsHeight == b.dmPelsHeight &&
           a.dmBitsPerPel == b.dmBitsPerPel && a.dmDisplayFrequency == b.dmDisplayFrequency;
}

bool desktopModeIsOn() {
    DEVMODEA current{};
    current.dmSize = sizeof current;
    DEVMODEA desktop{};
    desktop.dmSize = sizeof desktop;
    return EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current) &&
           EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &desktop) &&
           sameMode(current, desktop);
}

}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR commandLine,
                   int /*show*/) {
    // Handles have 32 significant bits, also in 64-bit processes.
    char* end = nullptr;
    const unsigned long value = std::strtoul(commandLine, &end, 10);
    if (end == commandLine || value == 0) {
        return 2;
    }
    HANDLE game = ULongToHandle(value);
    if (WaitForSingleObject(game, INFINITE) != WAIT_OBJECT_0) {
        return 1;
    }
    if (!desktopModeIsOn()) {
        ChangeDisplaySettingsA(nullptr, 0);
    }
    return 0;
}
