// The platform layer's calls, the same for every backend: the rules of handles, classes, the
// window, its device context, pixel format and rendering context, the keyboard focus, the cursor
// count and the message queue. The window system's own part of each call comes from the backend
// (window_system.h); each call is reported to the call trace (call_trace.h).
#include <string>
#include <utility>
#include <vector>

#include "call_trace.h"
#include "message_queue.h"
#include "platform.h"
#include "window_system.h"

namespace {

using callTrace::End;
using callTrace::Report;

struct ClassEntry {
    std::string name;
    WndClass windowClass;
};

struct Rules {
    std::vector<ClassEntry> classes;
    WindowRecord window;
    bool contextAlive = false;
    int cursorCount = 0;
    MessageQueue queue;  // its pending messages come from the window system
};

Rules rules;
callTrace::Listener listener = nullptr;

// Objects whose addresses serve as handles.
char moduleObject;
char iconObject;
char cursorObject;
char dcObject;
char contextObject;

WindowHandle windowHandle() {
    return reinterpret_cast<WindowHandle>(&rules.window);
}
DeviceContextHandle dcHandle() {
    return reinterpret_cast<DeviceContextHandle>(&dcObject);
}
GlContextHandle contextHandle() {
    return reinterpret_cast<GlContextHandle>(&contextObject);
}

bool isGameWindow(WindowHandle window) {
    return rules.window.alive && window == windowHandle();
}
bool isHeldDc(DeviceContextHandle dc) {
    return rules.window.alive && rules.window.dcHeld && dc == dcHandle();
}

const ClassEntry* findClass(const char* name) {
    for (const ClassEntry& entry : rules.classes) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

void trace(const Report& report) {
    if (listener != nullptr) {
        listener(report);
    }
}

// Runs the window system's part of a call when the rules allow the call, and reports the call
// with how it ended. True when the call succeeded.
template <typename Part>
bool attempt(bool allowed, Part part, Report report) {
    const bool done = allowed && part();
    report.end = !allowed ? End::Refused : done ? End::Done : End::Failed;
    trace(report);
    return done;
}

WindowRecord windowRecordOf(const callTrace::WindowArguments& given, const ClassEntry* entry) {
    WindowRecord window;
    window.className = given.className != nullptr ? given.className : "";
    window.title = given.title != nullptr ? given.title : "";
    window.exStyle = given.exStyle;
    window.style = given.style;
    window.x = given.x;
    window.y = given.y;
    window.width = given.width;
    window.height = given.height;
    window.instance = given.instance;
    window.proc = entry != nullptr ? entry->windowClass.lpfnWndProc : nullptr;
    return window;
}

}  // namespace

void callTrace::listen(Listener newListener) {
    listener = newListener;
}

void resetWindowRules() {
    rules = Rules{};
}

void platformStartup() {
    windowSystem::startup();
}

void platformShutdown() {
    windowSystem::shutdown();
}

void messageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
    trace({.call = "MessageBox", .words = caption, .text = text});
    windowSystem::messageBox(isGameWindow(owner), text, caption, type);
}

WindowHandle getFocus() {
    return rules.window.alive && rules.window.focused ? windowHandle() : nullptr;
}

void getCursorPos(int& x, int& y) {
    windowSystem::cursorPosition(x, y);
}

void setCursorPos(int x, int y) {
    windowSystem::moveCursor(x, y);
}

int showCursor(bool show) {
    rules.cursorCount += show ? 1 : -1;
    trace({.call = "ShowCursor", .number = show ? 1 : 0});
    windowSystem::cursorCountChanged(rules.cursorCount);
    return rules.cursorCount;
}

ModuleHandle getModuleHandle(const char* name) {
    return name == nullptr ? reinterpret_cast<ModuleHandle>(&moduleObject) : nullptr;
}

IconHandle loadIcon(ModuleHandle /*module*/, int /*id*/) {
    return reinterpret_cast<IconHandle>(&iconObject);
}

CursorHandle loadCursor(ModuleHandle /*module*/, int /*id*/) {
    return reinterpret_cast<CursorHandle>(&cursorObject);
}

std::uint16_t registerClass(const WndClass& windowClass) {
    const char* name = windowClass.lpszClassName;
    const bool allowed = name != nullptr && findClass(name) == nullptr;
    if (!attempt(allowed, [&] { return windowSystem::registerClass(windowClass); },
                 {.call = "RegisterClass", .words = name})) {
        return 0;
    }
    rules.classes.push_back({name, windowClass});
    return static_cast<std::uint16_t>(0xC000 + rules.classes.size());
}

bool unregisterClass(const char* className, ModuleHandle /*instance*/) {
    const bool allowed = className != nullptr && findClass(className) != nullptr &&
                         !(rules.window.alive && rules.window.className == className);
    if (!attempt(allowed, [&] { return windowSystem::unregisterClass(className); },
                 {.call = "UnregisterClass", .words = className})) {
        return false;
    }
    std::erase_if(rules.classes, [&](const ClassEntry& e) { return e.name == className; });
    return true;
}

std::int32_t changeDisplaySettings(const DevMode* mode, std::uint32_t flags) {
    if (mode == nullptr) {
        const bool restored = attempt(true, windowSystem::restoreDisplay,
                                      {.call = "ChangeDisplaySettings", .words = "restore"});
        return restored ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
    }
    std::int32_t result = DISP_CHANGE_FAILED;
    attempt(true,
            [&] {
                result = windowSystem::switchDisplay(*mode, flags);
                return result == DISP_CHANGE_SUCCESSFUL;
            },
            {.call = "ChangeDisplaySettings", .mode = mode, .flags = flags});
    return result;
}

bool adjustWindowRectEx(Rect& /*rect*/, std::uint32_t /*style*/, bool /*hasMenu*/,
                        std::uint32_t /*exStyle*/) {
    // The game's pop-up window has no frame, and window managers draw their own: the client
    // rectangle is the window's.
    trace({.call = "AdjustWindowRectEx"});
    return true;
}

WindowHandle createWindowEx(std::uint32_t exStyle, const char* className, const char* title,
                            std::uint32_t style, int x, int y, int width, int height,
                            WindowHandle parent, const void* menu, ModuleHandle instance,
                            void* param) {
    const callTrace::WindowArguments given{exStyle, className, title,  style, x,        y,
                                           width,   height,    parent, menu,  instance, param};
    const ClassEntry* entry = className != nullptr ? findClass(className) : nullptr;
    WindowRecord window = windowRecordOf(given, entry);
    const bool allowed = entry != nullptr && !rules.window.alive;
    if (!attempt(allowed, [&] { return windowSystem::createWindow(window); },
                 {.call = "CreateWindowEx", .window = &given})) {
        return nullptr;
    }
    rules.window = std::move(window);
    rules.window.alive = true;
    return windowHandle();
}

bool destroyWindow(WindowHandle window) {
    if (!attempt(isGameWindow(window), windowSystem::destroyWindow, {.call = "DestroyWindow"})) {
        return false;
    }
    rules.window = WindowRecord{};
    return true;
}

bool showWindow(WindowHandle window, int command) {
    const bool wasVisible = isGameWindow(window) && rules.window.visible;
    if (attempt(isGameWindow(window), windowSystem::showWindow,
                {.call = "ShowWindow", .number = command})) {
        rules.window.visible = true;
    }
    return wasVisible;
}

bool setForegroundWindow(WindowHandle window) {
    return attempt(isGameWindow(window), windowSystem::raiseWindow,
                   {.call = "SetForegroundWindow"});
}

// The keyboard is the window's as soon as this returns, as on Win32: the window system may tell
// of it later.
WindowHandle setFocus(WindowHandle window) {
    const WindowHandle before = getFocus();
    trace({.call = "SetFocus"});
    if (window == nullptr) {
        rules.window.focused = false;
        return before;
    }
    if (!isGameWindow(window)) {
        return nullptr;
    }
    windowSystem::focusWindow();
    rules.window.focused = true;
    return before;
}

DeviceContextHandle getDC(WindowHandle window) {
    // The window's own device context (CS_OWNDC, as Windows gives it): held, it is given again.
    const bool held = isGameWindow(window) && rules.window.dcHeld;
    if (!attempt(isGameWindow(window), [&] { return held || windowSystem::getDC(); },
                 {.call = "GetDC"})) {
        return nullptr;
    }
    rules.window.dcHeld = true;
    return dcHandle();
}

int releaseDC(WindowHandle window, DeviceContextHandle dc) {
    if (!attempt(isGameWindow(window) && isHeldDc(dc), windowSystem::releaseDC,
                 {.call = "ReleaseDC"})) {
        return 0;
    }
    rules.window.dcHeld = false;
    return 1;
}

int choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor& descriptor) {
    // One format, an RGBA one with OpenGL in a window, which setPixelFormat then fits to the
    // descriptor.
    const std::uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    const bool allowed = isHeldDc(dc) && (descriptor.dwFlags & needed) == needed &&
                         descriptor.iPixelType == PFD_TYPE_RGBA;
    return attempt(allowed, [&] { return windowSystem::choosePixelFormat(descriptor); },
                   {.call = "ChoosePixelFormat"})
               ? 1
               : 0;
}

bool setPixelFormat(DeviceContextHandle dc, int format, const PixelFormatDescriptor& descriptor) {
    const bool allowed = isHeldDc(dc) && format == 1 && rules.window.pixelFormat == 0;
    if (!attempt(allowed, [&] { return windowSystem::setPixelFormat(descriptor, rules.window); },
                 {.call = "SetPixelFormat", .number = format})) {
        return false;
    }
    rules.window.pixelFormat = format;
    return true;
}

GlContextHandle wglCreateContext(DeviceContextHandle dc) {
    const bool allowed = isHeldDc(dc) && rules.window.pixelFormat != 0 && !rules.contextAlive;
    if (!attempt(allowed, windowSystem::createContext, {.call = "wglCreateContext"})) {
        return nullptr;
    }
    rules.contextAlive = true;
    return contextHandle();
}

bool wglMakeCurrent(DeviceContextHandle dc, GlContextHandle context) {
    if (dc == nullptr && context == nullptr) {
        return attempt(true, windowSystem::makeNoneCurrent,
                       {.call = "wglMakeCurrent", .words = "none"});
    }
    return attempt(isHeldDc(dc) && context == contextHandle() && rules.contextAlive,
                   windowSystem::makeCurrent, {.call = "wglMakeCurrent"});
}

bool wglDeleteContext(GlContextHandle context) {
    if (!attempt(context == contextHandle() && rules.contextAlive, windowSystem::deleteContext,
                 {.call = "wglDeleteContext"})) {
        return false;
    }
    rules.contextAlive = false;
    return true;
}

bool swapBuffers(DeviceContextHandle dc) {
    return attempt(isHeldDc(dc), windowSystem::swapBuffers, {.call = "SwapBuffers"});
}

bool peekMessage(Msg& msg, WindowHandle /*window*/, std::uint32_t /*filterMin*/,
                 std::uint32_t /*filterMax*/, std::uint32_t remove) {
    return rules.queue.peek(msg, (remove & PM_REMOVE) != 0, windowSystem::fillMessages);
}

bool translateMessage(const Msg& /*msg*/) {
    return false;
}

LRESULT dispatchMessage(const Msg& msg) {
    trace({.call = "DispatchMessage", .number = msg.message});
    if (!rules.window.alive || rules.window.proc == nullptr) {
        return 0;
    }
    return rules.window.proc(windowHandle(), msg.message, msg.wParam, msg.lParam);
}

void postQuitMessage(int exitCode) {
    trace({.call = "PostQuitMessage", .number = exitCode});
    rules.queue.post({WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

LRESULT defWindowProc(WindowHandle /*window*/, std::uint32_t message, WPARAM /*wParam*/,
                      LPARAM /*lParam*/) {
    trace({.call = "DefWindowProc", .number = message});
    return 0;
}
