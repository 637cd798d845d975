// Platform backend without a window: replays what a test scripts and records what the game calls.
#include "platform_scripted.h"
#include "platform.h"

namespace {

struct ScriptedState {
    int cursorX = 0;
    int cursorY = 0;
    std::vector<scripted::MessageBoxCall> messageBoxes;
};

ScriptedState state;

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

}  // namespace scripted

void messageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
    state.messageBoxes.push_back({owner != nullptr, text, caption, type});
}

WindowHandle getFocus() {
    return nullptr;
}

void getCursorPos(int& x, int& y) {
    x = state.cursorX;
    y = state.cursorY;
}

void setCursorPos(int x, int y) {
    scripted::setCursor(x, y);
}
