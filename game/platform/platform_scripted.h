// Controls of the scripted platform backend: what it will report, and what it saw.
#pragma once

#include <string>
#include <vector>

namespace scripted {

struct MessageBoxCall {
    bool hasOwner;
    std::string text;
    std::string caption;
    unsigned type;
};

// Back to the start: cursor at (0, 0), nothing recorded.
void reset();

// The position that the next getCursorPos reports (setCursorPos also moves it).
void setCursor(int x, int y);
int cursorX();
int cursorY();

const std::vector<MessageBoxCall>& messageBoxes();

}  // namespace scripted
