// Platform backend without a window: replays what a test scripts and records what the game calls.
#include "platform_scripted.h"

#include <deque>
#include <map>
#include <utility>

#include "message_queue.h"
#include "platform.h"

namespace {

// Objects whose addresses serve as handles.
char moduleObject;
char iconObject;
char cursorObject;
char windowObject;
char dcObject;
char contextObject;

ModuleHandle theModule() {
    return reinterpret_cast<ModuleHandle>(&moduleObject);
}
WindowHandle theWindow() {
    return reinterpret_cast<WindowHandle>(&windowObject);
}
DeviceContextHandle theDc() {
    return reinterpret_cast<DeviceContextHandle>(&dcObject);
}
GlContextHandle theContext() {
    return reinterpret_cast<GlContextHandle>(&contextObject);
}

struct ScriptEntry {
    bool idle;
    Msg msg;
};

struct ScriptedState {
    int cursorX = 0;
    int cursorY = 0;
    std::vector<scripted::MessageBoxCall> messageBoxes;

    MessageQueue queue;  // its pending messages come from the script
    std::deque<ScriptEntry> script;
    bool scriptRanOut = false;

    std::map<scripted::Call, int> failures;  // occurrence to fail, 0 = every one
    std::map<scripted::Call, int> callCounts;
    std::vector<std::string> calls;

    int swapCount = 0;
    int cursorDisplayCount = 0;
    bool displaySwitched = false;
    std::optional<DevMode> lastDisplayMode;
    std::optional<WndClass> registeredClass;
    std::string registeredClassName;
    std::optional<scripted::CreateWindowCall> createdWindow;
    std::optional<PixelFormatDescriptor> chosenPixelFormat;
    bool windowAlive = false;
    bool dcHeld = false;
    bool contextAlive = false;
    bool contextCurrent = false;
    bool hasFocus = false;
};

ScriptedState state;

void record(std::string line) {
    state.calls.push_back(std::move(line));
}

// Counts the call and tells whether the test planned it to fail (then records it so).
bool plannedFailure(scripted::Call call, const std::string& line) {
    const int n = ++state.callCounts[call];
    const auto it = state.failures.find(call);
    const bool fail = it != state.failures.end() && (it->second == 0 || it->second == n);
    record(fail ? line + " failed" : line);
    return fail;
}

// The script's next entry: a message, or nothing (an empty queue). A game that outlives its
// script ends with a code no test expects.
void fillFromScript(std::deque<Msg>& pending) {
    if (state.script.empty()) {
        if (!state.scriptRanOut) {
            record("script ran out");
        }
        state.scriptRanOut = true;
        pending.push_back({WM_QUIT, scripted::kScriptEndExitCode, 0});
        return;
    }
    const ScriptEntry entry = state.script.front();
    state.script.pop_front();
    if (!entry.idle) {
        pending.push_back(entry.msg);
    }
}

}  // namespace

namespace scripted {

void reset() {
    state = ScriptedState{};
}

void setCursor(int x, int y) {
    state.cursorX = x;
    state.cursorY = y;
}

int cursorX() {
    return state.cursorX;
}
int cursorY() {
    return state.cursorY;
}

const std::vector<MessageBoxCall>& messageBoxes() {
    return state.messageBoxes;
}

void pushMessage(std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    state.script.push_back({false, {message, wParam, lParam}});
}

void pushIdle(int passes) {
    for (int i = 0; i < passes; ++i) {
        state.script.push_back({true, {}});
    }
}

bool scriptRanOut() {
    return state.scriptRanOut;
}

void failCall(Call call, int occurrence) {
    state.failures[call] = occurrence;
}

const std::vector<std::string>& calls() {
    return state.calls;
}

void note(const std::string& line) {
    record(line);
}

std::vector<std::string> callsStartingWith(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& line : state.calls) {
        if (line.rfind(prefix, 0) == 0) {
            out.push_back(line);
        }
    }
    return out;
}

int swapCount() {
    return state.swapCount;
}
int cursorDisplayCount() {
    return state.cursorDisplayCount;
}
bool displaySwitched() {
    return state.displaySwitched;
}
bool contextCurrent() {
    return state.contextCurrent;
}
const std::optional<DevMode>& lastDisplayMode() {
    return state.lastDisplayMode;
}
const std::optional<WndClass>& registeredClass() {
    return state.registeredClass;
}
const std::optional<CreateWindowCall>& createdWindow() {
    return state.createdWindow;
}
const std::optional<PixelFormatDescriptor>& chosenPixelFormat() {
    return state.chosenPixelFormat;
}

}  // namespace scripted

using scripted::Call;

void platformStartup() {}
void platformShutdown() {}

void messageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
    record(std::string("MessageBox ") + caption + ": " + text);
    state.messageBoxes.push_back({owner != nullptr, text, caption, type});
}

WindowHandle getFocus() {
    return state.windowAlive && state.hasFocus ? theWindow() : nullptr;
}

void getCursorPos(int& x, int& y) {
    x = state.cursorX;
    y = state.cursorY;
}

void setCursorPos(int x, int y) {
    scripted::setCursor(x, y);
}

int showCursor(bool show) {
    state.cursorDisplayCount += show ? 1 : -1;
    record(show ? "ShowCursor 1" : "ShowCursor 0");
    return state.cursorDisplayCount;
}

ModuleHandle getModuleHandle(const char* /*name*/) {
    return theModule();
}

IconHandle loadIcon(ModuleHandle /*module*/, int /*id*/) {
    return reinterpret_cast<IconHandle>(&iconObject);
}

CursorHandle loadCursor(ModuleHandle /*module*/, int /*id*/) {
    return reinterpret_cast<CursorHandle>(&cursorObject);
}

std::uint16_t registerClass(const WndClass& windowClass) {
    const std::string name = windowClass.lpszClassName ? windowClass.lpszClassName : "";
    if (plannedFailure(Call::RegisterClass, "RegisterClass " + name) ||
        state.registeredClass.has_value()) {
        return 0;
    }
    state.registeredClass = windowClass;
    state.registeredClassName = name;
    return 0xC001;
}

bool unregisterClass(const char* className, ModuleHandle /*instance*/) {
    if (plannedFailure(Call::UnregisterClass, std::string("UnregisterClass ") + className) ||
        !state.registeredClass || state.registeredClassName != className || state.windowAlive) {
        return false;
    }
    state.registeredClass.reset();
    return true;
}

std::int32_t changeDisplaySettings(const DevMode* mode, std::uint32_t flags) {
    if (mode == nullptr) {
        if (plannedFailure(Call::ChangeDisplaySettings, "ChangeDisplaySettings restore")) {
            return DISP_CHANGE_FAILED;
        }
        state.displaySwitched = false;
        return DISP_CHANGE_SUCCESSFUL;
    }
    state.lastDisplayMode = *mode;
    const std::string line =
        "ChangeDisplaySettings " + std::to_string(mode->dmPelsWidth) + "x" +
        std::to_string(mode->dmPelsHeight) + " " + std::to_string(mode->dmBitsPerPel) + " bits " +
        std::to_string(mode->dmDisplayFrequency) + " Hz flags " + std::to_string(flags);
    if (plannedFailure(Call::ChangeDisplaySettings, line)) {
        return DISP_CHANGE_BADMODE;
    }
    state.displaySwitched = true;
    return DISP_CHANGE_SUCCESSFUL;
}

bool adjustWindowRectEx(Rect& /*rect*/, std::uint32_t /*style*/, bool /*hasMenu*/,
                        std::uint32_t /*exStyle*/) {
    record("AdjustWindowRectEx");
    return true;
}

WindowHandle createWindowEx(std::uint32_t exStyle, const char* className, const char* title,
                            std::uint32_t style, int x, int y, int width, int height,
                            WindowHandle parent, const void* menu, ModuleHandle instance,
                            void* param) {
    state.createdWindow = scripted::CreateWindowCall{
        exStyle,           className,       title,    style,           x, y, width, height,
        parent != nullptr, menu != nullptr, instance, param != nullptr};
    if (plannedFailure(Call::CreateWindowEx,
                       std::string("CreateWindowEx ") + className + " " + title) ||
        !state.registeredClass || state.registeredClassName != className || state.windowAlive) {
        return nullptr;
    }
    state.windowAlive = true;
    return theWindow();
}

bool destroyWindow(WindowHandle window) {
    if (plannedFailure(Call::DestroyWindow, "DestroyWindow") || !state.windowAlive ||
        window != theWindow()) {
        return false;
    }
    state.windowAlive = false;
    state.hasFocus = false;
    return true;
}

bool showWindow(WindowHandle /*window*/, int command) {
    record("ShowWindow " + std::to_string(command));
    return false;
}

bool setForegroundWindow(WindowHandle /*window*/) {
    record("SetForegroundWindow");
    return true;
}

WindowHandle setFocus(WindowHandle window) {
    record("SetFocus");
    WindowHandle before = getFocus();
    state.hasFocus = state.windowAlive && window == theWindow();
    return before;
}

DeviceContextHandle getDC(WindowHandle window) {
    if (plannedFailure(Call::GetDC, "GetDC") || !state.windowAlive || window != theWindow() ||
        state.dcHeld) {
        return nullptr;
    }
    state.dcHeld = true;
    return theDc();
}

int releaseDC(WindowHandle window, DeviceContextHandle dc) {
    if (plannedFailure(Call::ReleaseDC, "ReleaseDC") || !state.dcHeld || dc != theDc() ||
        window != theWindow()) {
        return 0;
    }
    state.dcHeld = false;
    return 1;
}

int choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor& descriptor) {
    state.chosenPixelFormat = descriptor;
    if (plannedFailure(Call::ChoosePixelFormat, "ChoosePixelFormat") || dc != theDc()) {
        return 0;
    }
    return 1;
}

bool setPixelFormat(DeviceContextHandle dc, int format,
                    const PixelFormatDescriptor& /*descriptor*/) {
    return !plannedFailure(Call::SetPixelFormat, "SetPixelFormat " + std::to_string(format)) &&
           dc == theDc() && format > 0;
}

GlContextHandle wglCreateContext(DeviceContextHandle dc) {
    if (plannedFailure(Call::WglCreateContext, "wglCreateContext") || dc != theDc() ||
        state.contextAlive) {
        return nullptr;
    }
    state.contextAlive = true;
    return theContext();
}

bool wglMakeCurrent(DeviceContextHandle dc, GlContextHandle context) {
    if (dc == nullptr && context == nullptr) {
        if (plannedFailure(Call::WglMakeCurrent, "wglMakeCurrent none")) {
            return false;
        }
        state.contextCurrent = false;
        return true;
    }
    if (plannedFailure(Call::WglMakeCurrent, "wglMakeCurrent") || dc != theDc() ||
        context != theContext() || !state.contextAlive) {
        return false;
    }
    state.contextCurrent = true;
    return true;
}

bool wglDeleteContext(GlContextHandle context) {
    if (plannedFailure(Call::WglDeleteContext, "wglDeleteContext") || !state.contextAlive ||
        context != theContext()) {
        return false;
    }
    state.contextAlive = false;
    state.contextCurrent = false;
    return true;
}

bool swapBuffers(DeviceContextHandle dc) {
    if (plannedFailure(Call::SwapBuffers, "SwapBuffers") || dc == nullptr) {
        return false;
    }
    ++state.swapCount;
    return true;
}

bool peekMessage(Msg& msg, WindowHandle /*window*/, std::uint32_t /*filterMin*/,
                 std::uint32_t /*filterMax*/, std::uint32_t remove) {
    return state.queue.peek(msg, (remove & PM_REMOVE) != 0, fillFromScript);
}

bool translateMessage(const Msg& /*msg*/) {
    return false;
}

LRESULT dispatchMessage(const Msg& msg) {
    record("DispatchMessage " + std::to_string(msg.message));
    if (!state.windowAlive || !state.registeredClass || !state.registeredClass->lpfnWndProc) {
        return 0;
    }
    return state.registeredClass->lpfnWndProc(theWindow(), msg.message, msg.wParam, msg.lParam);
}

void postQuitMessage(int exitCode) {
    record("PostQuitMessage " + std::to_string(exitCode));
    state.queue.post({WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

LRESULT defWindowProc(WindowHandle /*window*/, std::uint32_t message, WPARAM /*wParam*/,
                      LPARAM /*lParam*/) {
    record("DefWindowProc " + std::to_string(message));
    return 0;
}
