// Platform backend without a window: replays what a test scripts and records what the game calls.
#include "platform_scripted.h"

#include <deque>
#include <map>
#include <utility>

#include "call_trace.h"
#include "platform.h"
#include "window_system.h"

namespace {

struct ScriptEntry {
    bool idle;
    Msg msg;
};

struct ScriptedState {
    int cursorX = 0;
    int cursorY = 0;
    std::vector<scripted::MessageBoxCall> messageBoxes;

    std::deque<ScriptEntry> script;
    bool scriptRanOut = false;

    std::map<scripted::Call, int> failures;  // occurrence to fail, 0 = every one
    std::map<scripted::Call, int> callCounts;
    std::vector<std::string> calls;

    scripted::Seen seen;
};

ScriptedState state;

void record(std::string line) {
    state.calls.push_back(std::move(line));
}

// The record's line for a call: its name, then what the call was given.
std::string lineOf(const callTrace::Report& r) {
    std::string line = r.call;
    if (r.words != nullptr) {
        line += std::string(" ") + r.words;
    }
    if (r.text != nullptr) {
        line += std::string(": ") + r.text;
    }
    // Appended piece by piece: GCC 12 warns wrongly (-Wrestrict) of " " + std::to_string(...).
    if (r.number) {
        line += ' ';
        line += std::to_string(*r.number);
    }
    if (const DevMode* m = r.mode) {
        line += ' ';
        line += std::to_string(m->dmPelsWidth) + "x" + std::to_string(m->dmPelsHeight) + " " +
                std::to_string(m->dmBitsPerPel) + " bits " + std::to_string(m->dmDisplayFrequency) +
                " Hz flags " + std::to_string(r.flags);
    }
    if (const callTrace::WindowArguments* w = r.window) {
        line += std::string(" ") + (w->className ? w->className : "") + " " +
                (w->title ? w->title : "");
    }
    return r.end == callTrace::End::Failed ? line + " failed" : line;
}

// The trace's listener: the record's line, and the arguments of the window made.
void recordReport(const callTrace::Report& r) {
    record(lineOf(r));
    if (r.window != nullptr && r.end != callTrace::End::Refused) {
        const callTrace::WindowArguments& w = *r.window;
        state.seen.createdWindow = scripted::CreateWindowCall{w.exStyle,
                                                              w.className ? w.className : "",
                                                              w.title ? w.title : "",
                                                              w.style,
                                                              w.x,
                                                              w.y,
                                                              w.width,
                                                              w.height,
                                                              w.parent != nullptr,
                                                              w.menu != nullptr,
                                                              w.instance,
                                                              w.param != nullptr};
    }
}

[[maybe_unused]] const bool recording = (callTrace::listen(recordReport), true);

// Counts the call and tells whether the test planned it to fail.
bool plannedFailure(scripted::Call call) {
    const int n = ++state.callCounts[call];
    const auto it = state.failures.find(call);
    return it != state.failures.end() && (it->second == 0 || it->second == n);
}

// A call that leaves the context current or not, unless the test planned it to fail.
bool contextCall(scripted::Call call, bool currentAfter) {
    if (plannedFailure(call)) {
        return false;
    }
    state.seen.contextCurrent = currentAfter;
    return true;
}

}  // namespace

namespace scripted {

void reset() {
    state = ScriptedState{};
    resetWindowRules();
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

const Seen& seen() {
    return state.seen;
}

}  // namespace scripted

// The window system's part of each call: planned failures, and what tests inspect.
namespace windowSystem {

using scripted::Call;

void startup() {}
void shutdown() {}

bool registerClass(const WndClass& windowClass) {
    if (plannedFailure(Call::RegisterClass)) {
        return false;
    }
    state.seen.registeredClass = windowClass;
    return true;
}

bool unregisterClass(const char* /*className*/) {
    if (plannedFailure(Call::UnregisterClass)) {
        return false;
    }
    state.seen.registeredClass.reset();
    return true;
}

std::int32_t switchDisplay(const DevMode& mode, std::uint32_t /*flags*/) {
    state.seen.lastDisplayMode = mode;
    if (plannedFailure(Call::ChangeDisplaySettings)) {
        return DISP_CHANGE_BADMODE;
    }
    if (plannedFailure(Call::DisplaySwitch)) {
        return DISP_CHANGE_FAILED;
    }
    state.seen.displaySwitched = true;
    return DISP_CHANGE_SUCCESSFUL;
}

bool restoreDisplay() {
    state.seen.displaySwitched = false;
    return true;
}

void cursorPosition(int& x, int& y) {
    x = state.cursorX;
    y = state.cursorY;
}

void moveCursor(int x, int y) {
    scripted::setCursor(x, y);
}

void cursorCountChanged(int displayCount) {
    state.seen.cursorDisplayCount = displayCount;
}

bool createWindow(const WindowRecord& /*window*/) {
    return !plannedFailure(Call::CreateWindowEx);
}

bool destroyWindow() {
    return !plannedFailure(Call::DestroyWindow);
}

bool showWindow() {
    return true;
}

bool raiseWindow() {
    return true;
}

void focusWindow() {}

bool getDC() {
    return !plannedFailure(Call::GetDC);
}

bool releaseDC() {
    return !plannedFailure(Call::ReleaseDC);
}

bool choosePixelFormat(const PixelFormatDescriptor& descriptor) {
    state.seen.chosenPixelFormat = descriptor;
    return !plannedFailure(Call::ChoosePixelFormat);
}

bool setPixelFormat(const PixelFormatDescriptor& /*descriptor*/, const WindowRecord& /*window*/) {
    return !plannedFailure(Call::SetPixelFormat);
}

bool createContext() {
    return !plannedFailure(Call::WglCreateContext);
}

bool makeCurrent() {
    return contextCall(Call::WglMakeCurrent, true);
}

bool makeNoneCurrent() {
    return contextCall(Call::WglMakeCurrent, false);
}

bool deleteContext() {
    return contextCall(Call::WglDeleteContext, false);
}

bool swapBuffers() {
    return !plannedFailure(Call::SwapBuffers);
}

// The script's next entry: a message, or nothing (an empty queue). A game that outlives its
// script ends with a code no test expects.
void fillMessages(std::deque<Msg>& pending) {
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

void messageBox(bool owned, const char* text, const char* caption, unsigned type) {
    state.messageBoxes.push_back({owned, text, caption, type});
}

}  // namespace windowSystem
