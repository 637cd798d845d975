// The Windows backend: platform.h made of the real Win32 and WGL calls. Handles are the real
// HWND, HDC and HGLRC; window classes get a real window procedure that passes every message to
// the game's procedure of that class. The rules of platform_rules.cpp are not used here: what
// Windows does is the reference those rules were written after, and the platform contract test
// run on this backend compares the two.
//
// platform.h spells the Win32 names itself; it is included first, its values are taken under
// names of their own, and after <windows.h> each is checked against the system's.
#include "platform.h"

// clang-format off
#define VANTU_WIN32_CONSTANTS(X)                                                                 \
    X(WM_SIZE) X(WM_ACTIVATE) X(WM_CLOSE) X(WM_QUIT) X(WM_KEYDOWN) X(WM_KEYUP)                   \
    X(WM_SYSKEYDOWN) X(WM_SYSKEYUP) X(WM_SYSCOMMAND) X(WM_MOUSEMOVE) X(WM_LBUTTONDOWN)           \
    X(WM_LBUTTONUP) X(WM_RBUTTONDOWN) X(WM_RBUTTONUP) X(SC_SCREENSAVE) X(SC_MONITORPOWER)        \
    X(VK_BACK) X(VK_TAB) X(VK_RETURN) X(VK_SHIFT) X(VK_CONTROL) X(VK_MENU) X(VK_ESCAPE)          \
    X(VK_SPACE) X(VK_LEFT) X(VK_UP) X(VK_RIGHT) X(VK_DOWN) X(VK_F1) X(VK_F10)                    \
    X(WA_INACTIVE) X(WA_ACTIVE) X(WA_CLICKACTIVE)                                                \
    X(MB_OK) X(MB_ICONERROR) X(MB_ICONWARNING) X(MB_ICONINFORMATION)                             \
    X(CS_VREDRAW) X(CS_HREDRAW) X(CS_OWNDC) X(WS_POPUP) X(WS_CLIPSIBLINGS) X(WS_CLIPCHILDREN)    \
    X(WS_EX_APPWINDOW) X(SW_SHOW)                                                                \
    X(DM_BITSPERPEL) X(DM_PELSWIDTH) X(DM_PELSHEIGHT) X(DM_DISPLAYFREQUENCY) X(CDS_FULLSCREEN)   \
    X(DISP_CHANGE_SUCCESSFUL) X(DISP_CHANGE_FAILED) X(DISP_CHANGE_BADMODE)                       \
    X(PFD_DOUBLEBUFFER) X(PFD_DRAW_TO_WINDOW) X(PFD_SUPPORT_OPENGL) X(PFD_TYPE_RGBA)             \
    X(PFD_MAIN_PLANE) X(PM_REMOVE)
// clang-format on

namespace platformValue {
#define VANTU_TAKE(name) constexpr long long name##_ = static_cast<long long>(name);
VANTU_WIN32_CONSTANTS(VANTU_TAKE)
#undef VANTU_TAKE
}  // namespace platformValue

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// after windows.h
#include <mmsystem.h>

#define VANTU_SAME(name) \
    static_assert(platformValue::name##_ == static_cast<long long>(name), #name " differs");
VANTU_WIN32_CONSTANTS(VANTU_SAME)
#undef VANTU_SAME

#include <bit>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "key_taps.h"
#include "swap_pacing.h"
#include "win32_guardian.h"

static_assert(DEVMODE_SIZE == sizeof(DEVMODEA));
static_assert(
    sizeof(PixelFormatDescriptor) == sizeof(PIXELFORMATDESCRIPTOR) &&
    offsetof(PixelFormatDescriptor, dwFlags) == offsetof(PIXELFORMATDESCRIPTOR, dwFlags) &&
    offsetof(PixelFormatDescriptor, cDepthBits) == offsetof(PIXELFORMATDESCRIPTOR, cDepthBits) &&
    offsetof(PixelFormatDescriptor, dwDamageMask) == offsetof(PIXELFORMATDESCRIPTOR, dwDamageMask));

namespace {

struct ClassProc {
    ATOM atom;
    WindowProc proc;
};

using Clock = swapPacing::Clock;

struct Win32State {
    std::vector<ClassProc> classes;
    HWND window = nullptr;            // the latest window made through createWindowEx
    MSG lastPeeked{};                 // the whole record of the message last taken
    KeyTaps keyTaps;                  // the queue's rule for quick key taps
    bool vsync = false;               // the driver syncs swaps to the display's refresh
    Clock::duration refreshPeriod{};  // of the mode the context was made current in
    int swapsMeasured = 0;
    Clock::time_point firstSwap{};
    Clock::time_point lastSwap{};
};

Win32State win32;

template <typename Handle, typename Native>
Handle toHandle(Native native) {
    return reinterpret_cast<Handle>(native);
}
HWND nativeWindow(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
HDC nativeDc(DeviceContextHandle dc) {
    return reinterpret_cast<HDC>(dc);
}
HGLRC nativeContext(GlContextHandle context) {
    return reinterpret_cast<HGLRC>(context);
}

// The window procedure of every class registered here: the game's procedure of the window's
// class, looked up by the class atom.
LRESULT CALLBACK classProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto atom = static_cast<ATOM>(GetClassLongPtrA(window, GCW_ATOM));
    for (const ClassProc& entry : win32.classes) {
        if (entry.atom == atom && entry.proc != nullptr) {
            return entry.proc(toHandle<WindowHandle>(window), message, wParam, lParam);
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

PIXELFORMATDESCRIPTOR nativeDescriptor(const PixelFormatDescriptor& descriptor) {
    return std::bit_cast<PIXELFORMATDESCRIPTOR>(descriptor);
}

// Asks the driver to sync swaps to the refresh (WGL_EXT_swap_control), for the current context.
bool requestVsync() {
    using SwapInterval = BOOL(WINAPI*)(int);
    // Through void (*)(): the address comes untyped.
    const auto setInterval = reinterpret_cast<SwapInterval>(
        reinterpret_cast<void (*)()>(wglGetProcAddress("wglSwapIntervalEXT")));
    return setInterval != nullptr && setInterval(1) != FALSE;
}

Clock::duration currentRefreshPeriod() {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    const bool known = EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) != FALSE;
    return swapPacing::refreshPeriod(known ? static_cast<int>(mode.dmDisplayFrequency) : 0);
}

// Where the driver does not sync (it says it does not, or the first swaps come much faster than
// the refresh), each swap waits out the rest of one refresh period since the last one, so the
// game keeps the speed it was designed for.
void paceSwap() {
    const auto period = win32.refreshPeriod;
    const auto now = Clock::now();
    constexpr int kSwapsToMeasure = 10;
    if (win32.vsync && win32.swapsMeasured < kSwapsToMeasure) {
        if (win32.swapsMeasured++ == 0) {
            win32.firstSwap = now;
        } else if (win32.swapsMeasured == kSwapsToMeasure &&
                   now - win32.firstSwap < period * (kSwapsToMeasure - 1) / 2) {
            win32.vsync = false;
        }
    }
    if (!win32.vsync) {
        swapPacing::waitOutPeriod(win32.lastSwap, period);
    }
}

}  // namespace

void platformStartup() {
    // Sleep to the millisecond, for the swap's pacing.
    timeBeginPeriod(1);
}

void platformShutdown() {
    timeEndPeriod(1);
}

void messageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    MessageBoxA(nativeWindow(owner), text, caption, type);
}

WindowHandle getFocus() {
    return toHandle<WindowHandle>(GetFocus());
}

void getCursorPos(int& x, int& y) {
    POINT point{};
    if (GetCursorPos(&point)) {
        x = point.x;
        y = point.y;
    }
}

void setCursorPos(int x, int y) {
    SetCursorPos(x, y);
}

int showCursor(bool show) {
    return ShowCursor(show ? TRUE : FALSE);
}

ModuleHandle getModuleHandle(const char* name) {
    return toHandle<ModuleHandle>(GetModuleHandleA(name));
}

IconHandle loadIcon(ModuleHandle module, int id) {
    return toHandle<IconHandle>(
        LoadIconA(reinterpret_cast<HINSTANCE>(module), MAKEINTRESOURCEA(id)));
}

CursorHandle loadCursor(ModuleHandle module, int id) {
    return toHandle<CursorHandle>(
        LoadCursorA(reinterpret_cast<HINSTANCE>(module), MAKEINTRESOURCEA(id)));
}

std::uint16_t registerClass(const WndClass& windowClass) {
    if (windowClass.lpszClassName == nullptr) {
        return 0;  // neither a name nor an atom Windows made
    }
    WNDCLASSA native{};
    native.style = windowClass.style;
    native.lpfnWndProc = classProcedure;
    native.cbClsExtra = windowClass.cbClsExtra;
    native.cbWndExtra = windowClass.cbWndExtra;
    native.hInstance = reinterpret_cast<HINSTANCE>(windowClass.hInstance);
    native.hIcon = reinterpret_cast<HICON>(windowClass.hIcon);
    native.hCursor = reinterpret_cast<HCURSOR>(windowClass.hCursor);
    native.hbrBackground = static_cast<HBRUSH>(const_cast<void*>(windowClass.hbrBackground));
    native.lpszMenuName = windowClass.lpszMenuName;
    native.lpszClassName = windowClass.lpszClassName;
    const ATOM atom = RegisterClassA(&native);
    if (atom != 0) {
        win32.classes.push_back({atom, windowClass.lpfnWndProc});
    }
    return atom;
}

bool unregisterClass(const char* className, ModuleHandle instance) {
    const auto nativeInstance = reinterpret_cast<HINSTANCE>(instance);
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    const ATOM atom = className != nullptr
                          ? static_cast<ATOM>(GetClassInfoExA(nativeInstance, className, &info))
                          : 0;
    if (atom == 0 || !UnregisterClassA(className, nativeInstance)) {
        return false;
    }
    std::erase_if(win32.classes, [&](const ClassProc& entry) { return entry.atom == atom; });
    return true;
}

std::int32_t changeDisplaySettings(const DevMode* mode, std::uint32_t flags) {
    if (mode == nullptr) {
        return ChangeDisplaySettingsA(nullptr, flags);
    }
    DEVMODEA native{};
    native.dmSize = sizeof native;
    native.dmFields = mode->dmFields;
    native.dmBitsPerPel = mode->dmBitsPerPel;
    native.dmPelsWidth = mode->dmPelsWidth;
    native.dmPelsHeight = mode->dmPelsHeight;
    native.dmDisplayFrequency = mode->dmDisplayFrequency;
    // The watcher that puts the desktop's mode back should the game die in this mode.
    guardian::startWatching();
    return ChangeDisplaySettingsA(&native, flags);
}

bool adjustWindowRectEx(Rect& rect, std::uint32_t style, bool hasMenu, std::uint32_t exStyle) {
    RECT native{rect.left, rect.top, rect.right, rect.bottom};
    if (!AdjustWindowRectEx(&native, style, hasMenu ? TRUE : FALSE, exStyle)) {
        return false;
    }
    rect = {native.left, native.top, native.right, native.bottom};
    return true;
}

WindowHandle createWindowEx(std::uint32_t exStyle, const char* className, const char* title,
                            std::uint32_t style, int x, int y, int width, int height,
                            WindowHandle parent, const void* menu, ModuleHandle instance,
                            void* param) {
    HWND window = CreateWindowExA(exStyle, className, title, style, x, y, width, height,
                                  nativeWindow(parent), static_cast<HMENU>(const_cast<void*>(menu)),
                                  reinterpret_cast<HINSTANCE>(instance), param);
    if (window != nullptr) {
        win32.window = window;
    }
    return toHandle<WindowHandle>(window);
}

bool destroyWindow(WindowHandle window) {
    if (!DestroyWindow(nativeWindow(window))) {
        return false;
    }
    if (nativeWindow(window) == win32.window) {
        win32.window = nullptr;
    }
    return true;
}

bool showWindow(WindowHandle window, int command) {
    return ShowWindow(nativeWindow(window), command) != FALSE;
}

bool setForegroundWindow(WindowHandle window) {
    return SetForegroundWindow(nativeWindow(window)) != FALSE;
}

WindowHandle setFocus(WindowHandle window) {
    return toHandle<WindowHandle>(SetFocus(nativeWindow(window)));
}

DeviceContextHandle getDC(WindowHandle window) {
    return toHandle<DeviceContextHandle>(GetDC(nativeWindow(window)));
}

int releaseDC(WindowHandle window, DeviceContextHandle dc) {
    return ReleaseDC(nativeWindow(window), nativeDc(dc));
}

int choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor& descriptor) {
    const PIXELFORMATDESCRIPTOR native = nativeDescriptor(descriptor);
    return ChoosePixelFormat(nativeDc(dc), &native);
}

bool setPixelFormat(DeviceContextHandle dc, int format, const PixelFormatDescriptor& descriptor) {
    const PIXELFORMATDESCRIPTOR native = nativeDescriptor(descriptor);
    return SetPixelFormat(nativeDc(dc), format, &native) != FALSE;
}

GlContextHandle wglCreateContext(DeviceContextHandle dc) {
    return toHandle<GlContextHandle>(::wglCreateContext(nativeDc(dc)));
}

bool wglMakeCurrent(DeviceContextHandle dc, GlContextHandle context) {
    if (::wglMakeCurrent(nativeDc(dc), nativeContext(context)) == FALSE) {
        return false;
    }
    if (context != nullptr) {
        win32.vsync = requestVsync();
        win32.refreshPeriod = currentRefreshPeriod();
        win32.swapsMeasured = 0;
    }
    return true;
}

bool wglDeleteContext(GlContextHandle context) {
    return ::wglDeleteContext(nativeContext(context)) != FALSE;
}

bool swapBuffers(DeviceContextHandle dc) {
    if (!SwapBuffers(nativeDc(dc))) {
        return false;
    }
    paceSwap();
    return true;
}

// The platform's rule for quick key taps (key_taps.h) over the system's queue: each message is
// looked at first, and taken only when the rule lets it through.
bool peekMessage(Msg& msg, WindowHandle window, std::uint32_t filterMin, std::uint32_t filterMax,
                 std::uint32_t remove) {
    MSG native{};
    HWND hwnd = nativeWindow(window);
    if (!PeekMessageA(&native, hwnd, filterMin, filterMax, PM_NOREMOVE)) {
        win32.keyTaps.idle();
        return false;
    }
    if (win32.keyTaps.holdsBack({native.message, native.wParam, native.lParam})) {
        return false;
    }
    if ((remove & PM_REMOVE) != 0 && PeekMessageA(&native, hwnd, filterMin, filterMax, remove)) {
        win32.keyTaps.taken({native.message, native.wParam, native.lParam});
    }
    win32.lastPeeked = native;
    msg = {native.message, native.wParam, native.lParam};
    return true;
}

namespace {

// The whole record of a message: the one last taken when it is that one, otherwise a message
// for the latest window.
MSG nativeMessage(const Msg& msg) {
    const MSG& last = win32.lastPeeked;
    if (last.message == msg.message && last.wParam == msg.wParam && last.lParam == msg.lParam) {
        return last;
    }
    MSG native{};
    native.hwnd = win32.window;
    native.message = msg.message;
    native.wParam = msg.wParam;
    native.lParam = msg.lParam;
    return native;
}

}  // namespace

bool translateMessage(const Msg& msg) {
    const MSG native = nativeMessage(msg);
    return TranslateMessage(&native) != FALSE;
}

LRESULT dispatchMessage(const Msg& msg) {
    const MSG native = nativeMessage(msg);
    return DispatchMessageA(&native);
}

void postQuitMessage(int exitCode) {
    PostQuitMessage(exitCode);
}

LRESULT defWindowProc(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(nativeWindow(window), message, wParam, lParam);
}
