#include "keyboard_traversal.h"

#include <algorithm>

namespace {

bool startsGroup(std::span<const DialogControl> controls, std::size_t row) {
    return row == 0 || (controls[row].flags & kGroup) != 0;
}

bool isRadio(const DialogControl& control) {
    return control.kind == ControlKind::AutoRadioButton;
}

// The row a control sorts under in the tab order: a radio button takes its group's place,
// the row of the group's first radio button; any other control its own row.
std::size_t tabPlace(std::span<const DialogControl> controls, std::size_t row) {
    if (!isRadio(controls[row])) {
        return row;
    }
    for (std::size_t r : groupRows(controls, row)) {
        if (isRadio(controls[r])) {
            return r;
        }
    }
    return row;
}

}  // namespace

bool takesFocus(const DialogControl& control) {
    return control.kind != ControlKind::GroupBox && control.kind != ControlKind::CenteredStatic;
}

std::vector<std::size_t> groupRows(std::span<const DialogControl> controls, std::size_t row) {
    std::vector<std::size_t> rows;
    if (row >= controls.size()) {
        return rows;
    }
    std::size_t start = row;
    while (!startsGroup(controls, start)) {
        --start;
    }
    for (std::size_t r = start; r < controls.size() && (r == start || !startsGroup(controls, r));
         ++r) {
        rows.push_back(r);
    }
    return rows;
}

std::vector<std::size_t> tabOrder(std::span<const DialogControl> controls,
                                  const std::vector<bool>& checked) {
    std::vector<std::size_t> order;
    for (std::size_t row = 0; row < controls.size(); ++row) {
        if ((controls[row].flags & kTabStop) != 0) {
            order.push_back(row);
        } else if (isRadio(controls[row]) && tabPlace(controls, row) == row) {
            // The group's first radio button: the group's stop goes here.
            std::size_t stop = row;
            for (std::size_t r : groupRows(controls, row)) {
                if (isRadio(controls[r]) && r < checked.size() && checked[r]) {
                    stop = r;
                    break;
                }
            }
            order.push_back(stop);
        }
    }
    return order;
}

FocusMove moveFocus(std::span<const DialogControl> controls, const std::vector<bool>& checked,
                    std::size_t from, NavigationKey key) {
    if (key == NavigationKey::Tab || key == NavigationKey::ShiftTab) {
        const std::vector<std::size_t> order = tabOrder(controls, checked);
        if (order.empty()) {
            return {from, false};
        }
        const std::size_t place = tabPlace(controls, from);
        if (key == NavigationKey::Tab) {
            const auto next = std::find_if(order.begin(), order.end(), [&](std::size_t r) {
                return tabPlace(controls, r) > place;
            });
            return {next == order.end() ? order.front() : *next, false};
        }
        const auto previous = std::find_if(order.rbegin(), order.rend(), [&](std::size_t r) {
            return tabPlace(controls, r) < place;
        });
        return {previous == order.rend() ? order.back() : *previous, false};
    }

    const std::vector<std::size_t> group = groupRows(controls, from);
    const auto at = std::find(group.begin(), group.end(), from);
    if (at == group.end()) {
        return {from, false};
    }
    const std::size_t n = group.size();
    std::size_t i = static_cast<std::size_t>(at - group.begin());
    for (std::size_t step = 0; step < n; ++step) {
        i = key == NavigationKey::Next ? (i + 1) % n : (i + n - 1) % n;
        if (takesFocus(controls[group[i]])) {
            break;
        }
    }
    return {group[i], isRadio(controls[group[i]])};
}
