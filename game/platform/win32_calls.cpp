// The platform layer's calls, the same for every backend: the rules of handles, classes, the
// window, its device context, pixel format and rendering context, the cursor count and the
// message queue. The window system's own part of each call comes from the backend
// (window_system.h).
#include <string>
#include <utility>
#include <vector>

#include "message_queue.h"
#include "platform.h"
#include "window_system.h"

namespace {

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

template <typename MakeLine>
void record(MakeLine makeLine) {
    if (windowSystem::recordsCalls()) {
        windowSystem::recordCall(makeLine());
    }
}

// Runs the window system's part of a call when the rules allow the call, and records the call,
// marked " failed" when the window system failed it. True when the call succeeded.
template <typename Part, typename MakeLine>
bool attempt(bool allowed, Part part, MakeLine makeLine) {
    const bool done = allowed && part();
    if (windowSystem::recordsCalls()) {
        std::string line = makeLine();
        if (allowed && !done) {
            line += " failed";
        }
        windowSystem::recordCall(line);
    }
    return done;
}

std::string modeLine(const DevMode& mode, std::uint32_t flags) {
    return "ChangeDisplaySettings " + std::to_string(mode.dmPelsWidth) + "x" +
           std::to_string(mode.dmPelsHeight) + " " + std::to_string(mode.dmBitsPerPel) + " bits " +
           std::to_string(mode.dmDisplayFrequency) + " Hz flags " + std::to_string(flags);
}

}  // namespace

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
    record([&] { return std::string("MessageBox ") + caption + ": " + text; });
    windowSystem::messageBox(isGameWindow(owner), text, caption, type);
}

WindowHandle getFocus() {
    return rules.window.alive && windowSystem::hasFocus() ? windowHandle() : nullptr;
}

void getCursorPos(int& x, int& y) {
    windowSystem::cursorPosition(x, y);
}

void setCursorPos(int x, int y) {
    windowSystem::moveCursor(x, y);
}

int showCursor(bool show) {
    rules.cursorCount += show ? 1 : -1;
    record([&] { return show ? "ShowCursor 1" : "ShowCursor 0"; });
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
    if (!attempt(
            allowed, [&] { return windowSystem::registerClass(windowClass); },
            [&] { return std::string("RegisterClass ") + (name ? name : ""); })) {
        return 0;
    }
    rules.classes.push_back({name, windowClass});
    return static_cast<std::uint16_t>(0xC000 + rules.classes.size());
}

bool unregisterClass(const char* className, ModuleHandle /*instance*/) {
    const bool allowed = className != nullptr && findClass(className) != nullptr &&
                         !(rules.window.alive && rules.window.className == className);
    if (!attempt(
            allowed, [&] { return windowSystem::unregisterClass(className); },
            [&] { return std::string("UnregisterClass ") + (className ? className : ""); })) {
        return false;
    }
    std::erase_if(rules.classes, [&](const ClassEntry& e) { return e.name == className; });
    return true;
}

std::int32_t changeDisplaySettings(const DevMode* mode, std::uint32_t flags) {
    if (mode == nullptr) {
        const bool restored = attempt(
            true, [] { return windowSystem::restoreDisplay(); },
            [] { return std::string("ChangeDisplaySettings restore"); });
        return restored ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
    }
    std::int32_t result = DISP_CHANGE_FAILED;
    attempt(
        true,
        [&] {
            result = windowSystem::switchDisplay(*mode, flags);
            return result == DISP_CHANGE_SUCCESSFUL;
        },
        [&] { return modeLine(*mode, flags); });
    return result;
}

bool adjustWindowRectEx(Rect& /*rect*/, std::uint32_t /*style*/, bool /*hasMenu*/,
                        std::uint32_t /*exStyle*/) {
    // The game's pop-up window has no frame, and window managers draw their own: the client
    // rectangle is the window's.
    record([] { return std::string("AdjustWindowRectEx"); });
    return true;
}

WindowHandle createWindowEx(std::uint32_t exStyle, const char* className, const char* title,
                            std::uint32_t style, int x, int y, int width, int height,
                            WindowHandle parent, const void* menu, ModuleHandle instance,
                            void* param) {
    const ClassEntry* entry = className != nullptr ? findClass(className) : nullptr;
    WindowRecord window;
    window.className = className != nullptr ? className : "";
    window.title = title != nullptr ? title : "";
    window.exStyle = exStyle;
    window.style = style;
    window.x = x;
    window.y = y;
    window.width = width;
    window.height = height;
    window.hasParent = parent != nullptr;
    window.hasMenu = menu != nullptr;
    window.hasParam = param != nullptr;
    window.instance = instance;
    window.proc = entry != nullptr ? entry->windowClass.lpfnWndProc : nullptr;
    const bool allowed = entry != nullptr && !rules.window.alive;
    if (!attempt(
            allowed, [&] { return windowSystem::createWindow(window); },
            [&] { return "CreateWindowEx " + window.className + " " + window.title; })) {
        return nullptr;
    }
    rules.window = std::move(window);
    rules.window.alive = true;
    return windowHandle();
}

bool destroyWindow(WindowHandle window) {
    if (!attempt(
            isGameWindow(window), [] { return windowSystem::destroyWindow(); },
            [] { return std::string("DestroyWindow"); })) {
        return false;
    }
    rules.window = WindowRecord{};
    return true;
}

bool showWindow(WindowHandle window, int command) {
    const bool wasVisible = isGameWindow(window) && rules.window.visible;
    if (attempt(
            isGameWindow(window), [] { return windowSystem::showWindow(); },
            [&] { return "ShowWindow " + std::to_string(command); })) {
        rules.window.visible = true;
    }
    return wasVisible;
}

bool setForegroundWindow(WindowHandle window) {
    return attempt(
        isGameWindow(window), [] { return windowSystem::raiseWindow(); },
        [] { return std::string("SetForegroundWindow"); });
}

WindowHandle setFocus(WindowHandle window) {
    WindowHandle before = getFocus();
    record([] { return std::string("SetFocus"); });
    if (isGameWindow(window)) {
        windowSystem::focusWindow();
    }
    return before;
}

DeviceContextHandle getDC(WindowHandle window) {
    // The window's own device context (CS_OWNDC, as Windows gives it): held, it is given again.
    const bool held = isGameWindow(window) && rules.window.dcHeld;
    if (!attempt(
            isGameWindow(window), [&] { return held || windowSystem::getDC(); },
            [] { return std::string("GetDC"); })) {
        return nullptr;
    }
    rules.window.dcHeld = true;
    return dcHandle();
}

int releaseDC(WindowHandle window, DeviceContextHandle dc) {
    if (!attempt(
            isGameWindow(window) && isHeldDc(dc), [] { return windowSystem::releaseDC(); },
            [] { return std::string("ReleaseDC"); })) {
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
    return attempt(
               allowed, [&] { return windowSystem::choosePixelFormat(descriptor); },
               [] { return std::string("ChoosePixelFormat"); })
               ? 1
               : 0;
}

bool setPixelFormat(DeviceContextHandle dc, int format, const PixelFormatDescriptor& descriptor) {
    const bool allowed = isHeldDc(dc) && format == 1 && rules.window.pixelFormat == 0;
    if (!attempt(
            allowed, [&] { return windowSystem::setPixelFormat(descriptor, rules.window); },
            [&] { return "SetPixelFormat " + std::to_string(format); })) {
        return false;
    }
    rules.window.pixelFormat = format;
    return true;
}

GlContextHandle wglCreateContext(DeviceContextHandle dc) {
    const bool allowed = isHeldDc(dc) && rules.window.pixelFormat != 0 && !rules.contextAlive;
    if (!attempt(
            allowed, [] { return windowSystem::createContext(); },
            [] { return std::string("wglCreateContext"); })) {
        return nullptr;
    }
    rules.contextAlive = true;
    return contextHandle();
}

bool wglMakeCurrent(DeviceContextHandle dc, GlContextHandle context) {
    if (dc == nullptr && context == nullptr) {
        return attempt(
            true, [] { return windowSystem::makeNoneCurrent(); },
            [] { return std::string("wglMakeCurrent none"); });
    }
    return attempt(
        isHeldDc(dc) && context == contextHandle() && rules.contextAlive,
        [] { return windowSystem::makeCurrent(); }, [] { return std::string("wglMakeCurrent"); });
}

bool wglDeleteContext(GlContextHandle context) {
    if (!attempt(
            context == contextHandle() && rules.contextAlive,
            [] { return windowSystem::deleteContext(); },
            [] { return std::string("wglDeleteContext"); })) {
        return false;
    }
    rules.contextAlive = false;
    return true;
}

bool swapBuffers(DeviceContextHandle dc) {
    return attempt(
        isHeldDc(dc), [] { return windowSystem::swapBuffers(); },
        [] { return std::string("SwapBuffers"); });
}

bool peekMessage(Msg& msg, WindowHandle /*window*/, std::uint32_t /*filterMin*/,
                 std::uint32_t /*filterMax*/, std::uint32_t remove) {
    return rules.queue.peek(msg, (remove & PM_REMOVE) != 0, windowSystem::fillMessages);
}

bool translateMessage(const Msg& /*msg*/) {
    return false;
}

LRESULT dispatchMessage(const Msg& msg) {
    record([&] { return "DispatchMessage " + std::to_string(msg.message); });
    if (!rules.window.alive || rules.window.proc == nullptr) {
        return 0;
    }
    return rules.window.proc(windowHandle(), msg.message, msg.wParam, msg.lParam);
}

void postQuitMessage(int exitCode) {
    record([&] { return "PostQuitMessage " + std::to_string(exitCode); });
    rules.queue.post({WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

LRESULT defWindowProc(WindowHandle /*window*/, std::uint32_t message, WPARAM /*wParam*/,
                      LPARAM /*lParam*/) {
    record([&] { return "DefWindowProc " + std::to_string(message); });
    return 0;
}
