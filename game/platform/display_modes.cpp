// Display-mode choice and the refused-mode line (see display_modes.h).
#include "display_modes.h"

#include <algorithm>
#include <utility>

int findListedMode(const std::vector<ListedMode>& listed, int width, int height, int refreshHz,
                   int desktopHz) {
    int found = -1;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const ListedMode& m = listed[i];
        if (m.width != width || m.height != height) {
            continue;
        }
        if (refreshHz != 0) {
            if (m.refreshHz == refreshHz) {
                return static_cast<int>(i);
            }
            continue;
        }
        if (found < 0 || m.refreshHz == desktopHz) {
            found = static_cast<int>(i);
        }
    }
    return found;
}

std::string refusedModeLine(const std::vector<ListedMode>& listed, int width, int height,
                            int refreshHz) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::string line = "Vantu: the display does not offer " + size;
    line += refreshHz != 0 ? " at " + std::to_string(refreshHz) + " Hz" : " at its default rate";

    std::vector<int> rates;
    std::vector<std::pair<int, int>> sizes;
    for (const ListedMode& m : listed) {
        if (m.width == width && m.height == height) {
            rates.push_back(m.refreshHz);
        }
        sizes.emplace_back(m.width, m.height);
    }
    if (!rates.empty()) {
        std::sort(rates.begin(), rates.end(), std::greater<>());
        rates.erase(std::unique(rates.begin(), rates.end()), rates.end());
        line += "; at " + size + " it offers ";
        for (std::size_t i = 0; i < rates.size(); ++i) {
            line += (i > 0 ? ", " : "") + std::to_string(rates[i]);
        }
        line += " Hz.";
    } else {
        std::sort(sizes.begin(), sizes.end(), std::greater<>());
        sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
        line += sizes.empty() ? "; it lists no modes at all"
                              : "; it offers no mode of that size, only ";
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            line += (i > 0 ? ", " : "") + std::to_string(sizes[i].first) + "x" +
                    std::to_string(sizes[i].second);
        }
        line += ".";
    }
    return line + " Choose another mode in the settings dialog (KPXConfig).";
}
