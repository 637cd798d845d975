#include "dialog_template.h"

#include <cstdint>

std::vector<std::size_t> radioGroupMembers(std::span<const DialogControl> controls, int firstId) {
    std::vector<std::size_t> members;
    std::size_t start = 0;
    while (start < controls.size() && controls[start].id != firstId) {
        ++start;
    }
    for (std::size_t i = start; i < controls.size(); ++i) {
        if (i != start && (controls[i].flags & kGroup) != 0) {
            break;
        }
        if (controls[i].kind == ControlKind::AutoRadioButton) {
            members.push_back(i);
        }
    }
    return members;
}

namespace {

// value * numerator / denominator, rounded to nearest with halves away from zero.
int mulDiv(int value, int numerator, int denominator) {
    const std::int64_t product = std::int64_t{value} * numerator;
    const std::int64_t half = denominator / 2;
    const std::int64_t rounded =
        product >= 0 ? (product + half) / denominator : (product - half) / denominator;
    return static_cast<int>(rounded);
}

}  // namespace

PixelRect dialogUnitsToPixels(DialogRect rect, int baseX, int baseY) {
    return PixelRect{mulDiv(rect.x, baseX, 4), mulDiv(rect.y, baseY, 8),
                     mulDiv(rect.width, baseX, 4), mulDiv(rect.height, baseY, 8)};
}
