#include "radio_group.h"

int radioIndexFromChecks(const std::vector<bool>& checked) {
    for (std::size_t i = 0; i < checked.size(); ++i) {
        if (checked[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<bool> radioChecksFromIndex(int index, std::size_t count) {
    std::vector<bool> checks(count, false);
    if (index >= 0 && static_cast<std::size_t>(index) < count) {
        checks[static_cast<std::size_t>(index)] = true;
    }
    return checks;
}
