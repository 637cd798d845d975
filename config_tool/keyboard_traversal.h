// Which control the keyboard moves the focus to, worked out from the control table alone.
//
// Tab and Shift+Tab walk the tab stops in creation order, wrapping. Each radio group also gets
// one stop, in its place in creation order: its checked button, or its first button when none
// is checked; without it a group with no tab stop of its own could not be reached at all.
// The arrow keys walk the group (as the group flags mark it) of the focused control, wrapping
// inside it and skipping controls that never take the focus; moving onto a radio button
// selects it.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "dialog_template.h"

enum class NavigationKey {
    Tab,       // Tab
    ShiftTab,  // Shift+Tab
    Next,      // Down or Right
    Previous,  // Up or Left
};

// Group boxes and static text never take the focus; every other control does.
bool takesFocus(const DialogControl& control);

// Table rows of the group that holds `row`, in creation order: from the last control at or
// before it that starts a group (the first control always does) up to the next one.
std::vector<std::size_t> groupRows(std::span<const DialogControl> controls, std::size_t row);

// The rows Tab visits, in order. `checked` has one entry per row, true for a checked radio
// button.
std::vector<std::size_t> tabOrder(std::span<const DialogControl> controls,
                                  const std::vector<bool>& checked);

struct FocusMove {
    std::size_t row;  // the control to focus
    bool select;      // an arrow key landed on a radio button: check it, clear the others
};

// Where `key` takes the focus from the control at `from`.
FocusMove moveFocus(std::span<const DialogControl> controls, const std::vector<bool>& checked,
                    std::size_t from, NavigationKey key);
