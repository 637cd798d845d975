// The platform layer: the few window-system calls the game relies on, in the vocabulary of the
// Win32 API the game was designed around (message records, WM_ numbers, virtual-key codes).
//
// platform_rules.cpp implements this header once, with the rules below. Each backend supplies
// the window system's part of each call (window_system.h): the SDL backend (sdl_*.cpp, SDL2,
// the real game on Linux) and platform_scripted.cpp (no window: replays messages, fails the calls
// a test plans to fail and keeps the record of calls that the rules trace, for tests and tools).
// Only the SDL backend includes SDL headers. On Windows, platform_win32.cpp implements this
// header with the real Win32 calls instead.
//
// The contract:
// - The display is one output, chosen once: the primary. Screen pixels (getCursorPos,
//   setCursorPos, window positions) count from its top-left corner. changeDisplaySettings
//   switches only that output: DISP_CHANGE_BADMODE for a mode it does not list,
//   DISP_CHANGE_FAILED for a listed mode whose switch then fails; either way nothing is left
//   switched.
// - The message queue (message_queue.h): posted messages first, then the window system's, one
//   at a time in order; peekMessage never waits; a key pressed and released within one poll
//   gets one empty queue while it is down.
// - Handles are addresses of the layer's own objects, stable for the process.
// - Window class names are unique while registered; a class with a live window cannot be
//   unregistered. One window, of a registered class; dispatchMessage runs its class's
//   procedure. setFocus gives it the keyboard at once, as on Win32: getFocus answers it from
//   then until the window is destroyed or setFocus(nullptr). The window has one device context
//   of its own (CS_OWNDC): getDC gives it each time. choosePixelFormat gives a format (> 0) for
//   an RGBA OpenGL format in a window; setPixelFormat takes a format once, and then no other. A
//   rendering context needs the pixel format; one at a time; wglMakeCurrent(nullptr, nullptr)
//   makes none current. showWindow returns whether the window was visible before.
// - The Windows backend (platform_win32.cpp) is the Win32 API itself, which allows more than
//   this (more windows and contexts, getDC(nullptr) for the screen, any format number); the
//   game asks for nothing beyond the above.
// - Message boxes are modal and also written to standard error by the real backend.
#pragma once

#include <cstdint>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct PlatformModule;
struct PlatformWindow;
struct PlatformDeviceContext;
struct PlatformGlContext;
struct PlatformIcon;
struct PlatformCursor;
using ModuleHandle = PlatformModule*;
using WindowHandle = PlatformWindow*;
using DeviceContextHandle = PlatformDeviceContext*;
using GlContextHandle = PlatformGlContext*;
using IconHandle = PlatformIcon*;
using CursorHandle = PlatformCursor*;

// One message taken from the queue (MSG).
struct Msg {
    std::uint32_t message;
    WPARAM wParam;
    LPARAM lParam;
};

using WindowProc = LRESULT (*)(WindowHandle window, std::uint32_t message, WPARAM wParam,
                               LPARAM lParam);

// Window messages, with what their wParam and lParam carry.
inline constexpr std::uint32_t WM_SIZE = 5;           // lParam: width | height << 16
inline constexpr std::uint32_t WM_ACTIVATE = 6;       // wParam: WA_ value | minimised flag
inline constexpr std::uint32_t WM_CLOSE = 16;         // a close request
inline constexpr std::uint32_t WM_QUIT = 18;          // wParam: the exit code
inline constexpr std::uint32_t WM_KEYDOWN = 256;      // wParam: the virtual-key code
inline constexpr std::uint32_t WM_KEYUP = 257;        // wParam: the virtual-key code
inline constexpr std::uint32_t WM_SYSKEYDOWN = 260;   // a key with Alt, Alt itself, F10
inline constexpr std::uint32_t WM_SYSKEYUP = 261;     // a key with Alt, Alt itself, F10
inline constexpr std::uint32_t WM_SYSCOMMAND = 274;   // wParam: the SC_ command
inline constexpr std::uint32_t WM_MOUSEMOVE = 512;    // lParam: x | y << 16 in the window
inline constexpr std::uint32_t WM_LBUTTONDOWN = 513;  // lParam: x | y << 16 in the window
inline constexpr std::uint32_t WM_LBUTTONUP = 514;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 516;  // lParam: x | y << 16 in the window
inline constexpr std::uint32_t WM_RBUTTONUP = 517;

inline constexpr WPARAM SC_SCREENSAVE = 0xF140;
inline constexpr WPARAM SC_MONITORPOWER = 0xF170;

inline constexpr WPARAM VK_BACK = 8;
inline constexpr WPARAM VK_TAB = 9;
inline constexpr WPARAM VK_RETURN = 13;
inline constexpr WPARAM VK_SHIFT = 16;
inline constexpr WPARAM VK_CONTROL = 17;
inline constexpr WPARAM VK_MENU = 18;  // Alt
inline constexpr WPARAM VK_ESCAPE = 27;
inline constexpr WPARAM VK_SPACE = 32;
inline constexpr WPARAM VK_LEFT = 37;
inline constexpr WPARAM VK_UP = 38;
inline constexpr WPARAM VK_RIGHT = 39;
inline constexpr WPARAM VK_DOWN = 40;
inline constexpr WPARAM VK_F1 = 0x70;
inline constexpr WPARAM VK_F10 = 0x79;

// WM_ACTIVATE: the low word of wParam says how the window was (de)activated; the high word is
// non-zero while the window is minimised.
inline constexpr WPARAM WA_INACTIVE = 0;
inline constexpr WPARAM WA_ACTIVE = 1;
inline constexpr WPARAM WA_CLICKACTIVE = 2;
inline constexpr WPARAM WA_MINIMIZED_FLAG = 0x10000;

inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;

// Window class and window styles.
inline constexpr std::uint32_t CS_VREDRAW = 0x1;       // redrawn whole when its height changes
inline constexpr std::uint32_t CS_HREDRAW = 0x2;       // redrawn whole when its width changes
inline constexpr std::uint32_t CS_OWNDC = 0x20;        // a device context of its own
inline constexpr std::uint32_t WS_POPUP = 0x80000000;  // no frame, no caption
inline constexpr std::uint32_t WS_CLIPSIBLINGS = 0x04000000;  // drawing stays out of siblings
inline constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;  // and out of children
inline constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000;  // a taskbar button of its own
inline constexpr int SW_SHOW = 5;

inline constexpr int IDI_WINLOGO = 32517;
inline constexpr int IDC_ARROW = 32512;

// The window class (WNDCLASS).
struct WndClass {
    std::uint32_t style;
    WindowProc lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    ModuleHandle hInstance;
    IconHandle hIcon;
    CursorHandle hCursor;
    const void* hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
};

// Display modes (the members of DEVMODE that a mode switch uses). dmSize carries the size of
// the Win32 record, 156.
inline constexpr std::uint16_t DEVMODE_SIZE = 156;
inline constexpr std::uint32_t DM_BITSPERPEL = 0x00040000;        // dmBitsPerPel is given
inline constexpr std::uint32_t DM_PELSWIDTH = 0x00080000;         // dmPelsWidth is given
inline constexpr std::uint32_t DM_PELSHEIGHT = 0x00100000;        // dmPelsHeight is given
inline constexpr std::uint32_t DM_DISPLAYFREQUENCY = 0x00400000;  // dmDisplayFrequency is given
inline constexpr std::uint32_t CDS_FULLSCREEN = 0x4;  // for this program's run, not kept
inline constexpr std::int32_t DISP_CHANGE_SUCCESSFUL = 0;
inline constexpr std::int32_t DISP_CHANGE_FAILED = -1;   // a listed mode whose switch failed
inline constexpr std::int32_t DISP_CHANGE_BADMODE = -2;  // a mode the display does not list

struct DevMode {
    std::uint16_t dmSize;
    std::uint32_t dmFields;
    std::uint32_t dmBitsPerPel;
    std::uint32_t dmPelsWidth;
    std::uint32_t dmPelsHeight;
    std::uint32_t dmDisplayFrequency;
};

// Pixel formats (PIXELFORMATDESCRIPTOR, 40 bytes on Win32).
inline constexpr std::uint16_t PIXELFORMATDESCRIPTOR_SIZE = 40;
inline constexpr std::uint32_t PFD_DOUBLEBUFFER = 0x1;
inline constexpr std::uint32_t PFD_DRAW_TO_WINDOW = 0x4;
inline constexpr std::uint32_t PFD_SUPPORT_OPENGL = 0x20;
inline constexpr std::uint8_t PFD_TYPE_RGBA = 0;
inline constexpr std::uint8_t PFD_MAIN_PLANE = 0;

struct PixelFormatDescriptor {
    std::uint16_t nSize;
    std::uint16_t nVersion;
    std::uint32_t dwFlags;
    std::uint8_t iPixelType;
    std::uint8_t cColorBits;
    std::uint8_t cRedBits;
    std::uint8_t cRedShift;
    std::uint8_t cGreenBits;
    std::uint8_t cGreenShift;
    std::uint8_t cBlueBits;
    std::uint8_t cBlueShift;
    std::uint8_t cAlphaBits;
    std::uint8_t cAlphaShift;
    std::uint8_t cAccumBits;
    std::uint8_t cAccumRedBits;
    std::uint8_t cAccumGreenBits;
    std::uint8_t cAccumBlueBits;
    std::uint8_t cAccumAlphaBits;
    std::uint8_t cDepthBits;
    std::uint8_t cStencilBits;
    std::uint8_t cAuxBuffers;
    std::uint8_t iLayerType;
    std::uint8_t bReserved;
    std::uint32_t dwLayerMask;
    std::uint32_t dwVisibleMask;
    std::uint32_t dwDamageMask;
};

inline constexpr std::uint32_t PM_REMOVE = 0x1;

// Process start and end around WinMain: signal handling and the windowing system's own
// start and end. The game calls each once.
void platformStartup();
void platformShutdown();

// A message box with a caption and an OK button; modal, returns when it is dismissed.
// `owner` may be null (no owner window).
void messageBox(WindowHandle owner, const char* text, const char* caption, unsigned type);

// The window that has the keyboard focus (the one setFocus gave it to), or null.
WindowHandle getFocus();

// The cursor position in screen pixels, and putting the cursor somewhere.
void getCursorPos(int& x, int& y);
void setCursorPos(int x, int y);

// Shows (true) or hides (false) the cursor; returns the display count (shown while >= 0).
int showCursor(bool show);

// The running program's module (name null).
ModuleHandle getModuleHandle(const char* name);
IconHandle loadIcon(ModuleHandle module, int id);
CursorHandle loadCursor(ModuleHandle module, int id);

// Window classes: registration returns 0 on failure (the name is taken already).
std::uint16_t registerClass(const WndClass& windowClass);
bool unregisterClass(const char* className, ModuleHandle instance);

// With a mode and CDS_FULLSCREEN: switches the display to exactly that mode (a frequency of 0
// takes the display's default rate for that size). DISP_CHANGE_BADMODE when the display has no
// such mode; DISP_CHANGE_FAILED when it lists the mode but the switch to it fails; either way
// nothing changes. With no mode: back to the desktop's own mode.
std::int32_t changeDisplaySettings(const DevMode* mode, std::uint32_t flags);

struct Rect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// The outer rectangle of a window whose client area is `rect`.
bool adjustWindowRectEx(Rect& rect, std::uint32_t style, bool hasMenu, std::uint32_t exStyle);

WindowHandle createWindowEx(std::uint32_t exStyle, const char* className, const char* title,
                            std::uint32_t style, int x, int y, int width, int height,
                            WindowHandle parent, const void* menu, ModuleHandle instance,
                            void* param);
bool destroyWindow(WindowHandle window);
bool showWindow(WindowHandle window, int command);
bool setForegroundWindow(WindowHandle window);
// Gives the keyboard to `window` (none for nullptr); returns the window that had it before, or
// null when `window` is not the game window (and then nothing changes).
WindowHandle setFocus(WindowHandle window);

// Device context and pixel format of a window.
DeviceContextHandle getDC(WindowHandle window);
int releaseDC(WindowHandle window, DeviceContextHandle dc);
// A format number (> 0) close to the descriptor, 0 when none fits.
int choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor& descriptor);
bool setPixelFormat(DeviceContextHandle dc, int format, const PixelFormatDescriptor& descriptor);

// The OpenGL rendering context. wglMakeCurrent(nullptr, nullptr) makes none current.
GlContextHandle wglCreateContext(DeviceContextHandle dc);
bool wglMakeCurrent(DeviceContextHandle dc, GlContextHandle context);
bool wglDeleteContext(GlContextHandle context);

// Shows the back buffer at the display's next refresh.
bool swapBuffers(DeviceContextHandle dc);

// Takes the next message if there is one (with PM_REMOVE); never waits. `msg` is left alone
// when the queue is empty.
bool peekMessage(Msg& msg, WindowHandle window, std::uint32_t filterMin, std::uint32_t filterMax,
                 std::uint32_t remove);
bool translateMessage(const Msg& msg);
// Runs the window procedure of the game window with the message; returns its result.
LRESULT dispatchMessage(const Msg& msg);
// Puts WM_QUIT with the exit code in wParam into the queue.
void postQuitMessage(int exitCode);
LRESULT defWindowProc(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
