// How an index moves to and from a group of radio buttons: the index is the position of the
// checked button among the group's radio buttons, in creation order.
#pragma once

#include <cstddef>
#include <vector>

// The position of the checked button, or -1 when none is checked. When several are
// checked (a state the dialog never shows) the first one counts.
int radioIndexFromChecks(const std::vector<bool>& checked);

// The check state of each of `count` buttons for `index`: only the button at that position
// is checked, so an index that matches no button leaves the whole group clear.
std::vector<bool> radioChecksFromIndex(int index, std::size_t count);
